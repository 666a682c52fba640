// A stand-in for the system's voice (class SpVoice), for the tests' own Wine prefix: Wine's
// voice does not speak. It records every Speak call, its flags and text, as one line
// "flags<TAB>text" in UTF-8 in the file named by Z5_FAKE_VOICE_LOG, the text with "\", CR and
// LF written "\\", "\r" and "\n" ("(null)" for no text).
// Z5_FAKE_VOICE chooses how Speak answers: "fail" returns E_FAIL, "hang" keeps the caller
// for 30 seconds; anything else returns S_OK at once. With "absent" there is no voice at all.
//
// DllRegisterServer puts this DLL in the place of the class's server and keeps the previous
// server's path; DllUnregisterServer puts that path back.
#include <windows.h>
#include <initguid.h>
#include <olectl.h>
#include <sapi.h>

#include <string>

namespace {

HMODULE g_module = nullptr;
constexpr wchar_t kServerKey[] = L"CLSID\\{96749377-3391-11D2-9EE3-00C04F797396}\\InprocServer32";
constexpr wchar_t kPreviousValue[] = L"z5.previous";

std::wstring environment(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
    return n && n < MAX_PATH ? std::wstring(value, n) : std::wstring();
}

std::wstring escaped(const wchar_t* text) {
    if (!text) return L"(null)";
    std::wstring out;
    for (; *text; ++text) {
        if (*text == L'\\') {
            out += L"\\\\";
        } else if (*text == L'\r') {
            out += L"\\r";
        } else if (*text == L'\n') {
            out += L"\\n";
        } else {
            out += *text;
        }
    }
    return out;
}

void record(const wchar_t* text, DWORD flags) {
    const std::wstring path = environment(L"Z5_FAKE_VOICE_LOG");
    if (path.empty()) return;
    std::wstring line = std::to_wstring(flags) + L"\t" + escaped(text) + L"\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), size,
                        nullptr, nullptr);
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

class Voice final : public ISpVoice {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISpVoice) ||
            IsEqualIID(iid, IID_ISpEventSource) || IsEqualIID(iid, IID_ISpNotifySource)) {
            *out = static_cast<ISpVoice*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE Speak(LPCWSTR text, DWORD flags, ULONG* stream) override {
        record(text, flags);
        if (stream) *stream = 1;
        const std::wstring mode = environment(L"Z5_FAKE_VOICE");
        if (mode == L"fail") return E_FAIL;
        if (mode == L"hang") Sleep(30000);
        return S_OK;
    }

    // The rest of the voice is not used by the companion.
    HRESULT STDMETHODCALLTYPE SetNotifySink(ISpNotifySink*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNotifyWindowMessage(HWND, UINT, WPARAM, LPARAM) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetNotifyCallbackFunction(SPNOTIFYCALLBACK*, WPARAM,
                                                        LPARAM) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetNotifyCallbackInterface(ISpNotifyCallback*, WPARAM,
                                                         LPARAM) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetNotifyWin32Event() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WaitForNotifyEvent(DWORD) override { return E_NOTIMPL; }
    HANDLE STDMETHODCALLTYPE GetNotifyEventHandle() override { return nullptr; }
    HRESULT STDMETHODCALLTYPE SetInterest(ULONGLONG, ULONGLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEvents(ULONG, SPEVENT*, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInfo(SPEVENTSOURCEINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOutput(IUnknown*, WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOutputObjectToken(ISpObjectToken**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOutputStream(ISpStreamFormat**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Pause() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Resume() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetVoice(ISpObjectToken*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVoice(ISpObjectToken**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SpeakStream(IStream*, DWORD, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStatus(SPVOICESTATUS*, LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Skip(LPCWSTR, LONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPriority(SPVPRIORITY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPriority(SPVPRIORITY*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAlertBoundary(SPEVENTENUM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAlertBoundary(SPEVENTENUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRate(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRate(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetVolume(USHORT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVolume(USHORT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WaitUntilDone(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSyncSpeakTimeout(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSyncSpeakTimeout(ULONG*) override { return E_NOTIMPL; }
    HANDLE STDMETHODCALLTYPE SpeakCompleteEvent() override { return nullptr; }
    HRESULT STDMETHODCALLTYPE IsUISupported(LPCWSTR, void*, ULONG, WINBOOL*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DisplayUI(HWND, LPCWSTR, LPCWSTR, void*, ULONG) override {
        return E_NOTIMPL;
    }

  private:
    LONG refs_ = 1;
};

class Factory final : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* voice = new (std::nothrow) Voice;
        if (!voice) return E_OUTOFMEMORY;
        const HRESULT hr = voice->QueryInterface(iid, out);
        voice->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};
Factory g_factory;

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) g_module = module;
    return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!IsEqualCLSID(clsid, CLSID_SpVoice) || environment(L"Z5_FAKE_VOICE") == L"absent") {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return g_factory.QueryInterface(iid, out);
}

// Stays loaded: the companion's voice lives as long as the companion.
__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return S_FALSE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_module, path, MAX_PATH);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kServerKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return SELFREG_E_CLASS;
    }
    wchar_t previous[MAX_PATH] = {};
    DWORD size = sizeof(previous) - sizeof(wchar_t);
    if (RegQueryValueExW(key, kPreviousValue, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS &&
        RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(previous),
                         &size) == ERROR_SUCCESS) {
        RegSetValueExW(key, kPreviousValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(previous),
                       size);
    }
    const wchar_t both[] = L"Both";
    LONG rc = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                             static_cast<DWORD>((lstrlenW(path) + 1) * sizeof(wchar_t)));
    if (rc == ERROR_SUCCESS) {
        rc = RegSetValueExW(key, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(both),
                            sizeof(both));
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kServerKey, 0, KEY_READ | KEY_WRITE, &key) !=
        ERROR_SUCCESS) {
        return S_OK;
    }
    wchar_t previous[MAX_PATH] = {};
    DWORD size = sizeof(previous) - sizeof(wchar_t);
    if (RegQueryValueExW(key, kPreviousValue, nullptr, nullptr, reinterpret_cast<BYTE*>(previous),
                         &size) == ERROR_SUCCESS) {
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(previous), size);
        RegDeleteValueW(key, kPreviousValue);
    } else {
        RegDeleteValueW(key, nullptr);
    }
    RegCloseKey(key);
    return S_OK;
}

}  // extern "C"
