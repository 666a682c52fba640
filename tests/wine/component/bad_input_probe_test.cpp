// The component given what careless hosts give it: names that cannot be files, settings out of
// range, a record smaller than windowstay, a host's own settings file changing between calls.
#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "probe_support.h"
#include "test_files.h"
#include "zelcalc.h"

namespace z5calc {
namespace {

TEST_F(HostProbeTest, NamesThatCannotBeFilesAreRefusedWithoutHarm) {
    ComPtr<_zelcalc> calc = make_object(module);
    ASSERT_TRUE(calc);
    struct Case {
        const char* what;
        std::wstring name;
        bool help;  // SetHelpFile rather than SetAppName
        HRESULT expected;
    };
    const std::wstring helpFolder = L"C:\\nowhere\\";
    const Case cases[] = {
        {"1,000 characters with .ini", std::wstring(1000, L'a') + L".ini", false, E_INVALIDARG},
        {"10,000 characters with .ini", std::wstring(10000, L'b') + L".ini", false, E_INVALIDARG},
        {"100,000 characters with .ini", std::wstring(100000, L'c') + L".ini", false, E_INVALIDARG},
        {"300 characters, no .ini", std::wstring(300, L'd'), false, E_INVALIDARG},
        {"a line break", L"p\r\nHelpID=99999999999\r\n[Window]\r\nfrmCalc_Top=1", false,
         E_INVALIDARG},
        {"a NUL", std::wstring(L"ab\0cd", 5), false, E_INVALIDARG},
        {"a tab", L"a\tb", false, E_INVALIDARG},
        {"a plain name", L"probe-host", false, S_OK},
        {"a long name that fits", std::wstring(150, L'e'), false, S_OK},
        {"help: 300 characters", helpFolder + std::wstring(300, L'f') + L".chm", true,
         E_INVALIDARG},
        {"help: 100,000 characters", std::wstring(100000, L'g'), true, E_INVALIDARG},
        {"help: a line break", L"C:\\help\r\nHelpID=5.chm", true, E_INVALIDARG},
        {"help: one more than the viewer takes", helpFolder + std::wstring(227, L'h') + L".chm",
         true, E_INVALIDARG},
        {"help: the longest the viewer takes", helpFolder + std::wstring(226, L'h') + L".chm", true,
         S_OK},
    };
    for (const Case& c : cases) {
        UniqueBstr name{std::wstring_view(c.name)};
        const ULONGLONG start = GetTickCount64();
        const HRESULT hr = c.help ? calc->SetHelpFile(name.get(), 1) : calc->SetAppName(name.get());
        EXPECT_EQ(hr, c.expected) << c.what;
        EXPECT_LT(GetTickCount64() - start, 2000u) << c.what;
        if (FAILED(hr)) {
            EXPECT_NE(error_description().find(c.help ? L"SetHelpFile" : L"SetAppName"),
                      std::wstring::npos)
                << c.what;
        }
    }
    // Nothing of the refused names reached the settings file.
    const std::string ini = read_bytes(settings_file());
    EXPECT_EQ(ini.find("99999999999"), std::string::npos);
    EXPECT_EQ(ini.find("frmCalc_Top=1\r"), std::string::npos);
    // The accepted help file is the longest the help viewer takes (241 characters; Wine's
    // crashes from 248 on); F1 finds no file and opens nothing.
    Steps steps;
    steps.act([] { PostMessageW(own_calc_window(), WM_KEYDOWN, VK_F1, 0); }).type(L"4\r");
    const CallResult r = show(calc.get(), steps, 0);
    EXPECT_EQ(r.hr, S_OK);
    EXPECT_EQ(r.value, 4);
}

TEST_F(HostProbeTest, OutOfRangeValuesInTheComponentsFileReadAsTheirDefaults) {
    const std::wstring own = settings_file();
    WritePrivateProfileStringW(L"Setup", L"Tax", L"99999999999", own.c_str());
    WritePrivateProfileStringW(L"Setup", L"TaxMode", L"40000", own.c_str());
    WritePrivateProfileStringW(L"Setup", L"HelpID", L"99999999999", own.c_str());
    ComPtr<_zelcalc> calc = make_object(module);
    ASSERT_TRUE(calc);
    for (int call = 0; call < 2; ++call) {
        Steps steps;
        steps.click(L"taxin").type(L"\r");
        const CallResult r = show(calc.get(), steps, 1000);
        EXPECT_EQ(r.hr, S_OK) << "call " << call;
        EXPECT_EQ(r.value, 1100) << "call " << call;  // 10 %, rounding mode 0
    }
    // The host's own file is still held to its range.
    const std::wstring host = folder.path() + L"bad.ini";
    WritePrivateProfileStringW(L"Setup", L"TaxMode", L"40000", host.c_str());
    UniqueBstr name(host.c_str());
    EXPECT_EQ(calc->SetAppName(name.get()), static_cast<HRESULT>(0x800A0006L));
}

// A record that carries the windowstay GUID but is smaller than one.
class ShortRecordInfo final : public IRecordInfo {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IRecordInfo)) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE RecordInit(PVOID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RecordClear(PVOID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RecordCopy(PVOID, PVOID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGuid(GUID* guid) override {
        *guid = kWindowstayGuid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetName(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSize(ULONG* size) override {
        *size = 8;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetField(PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFieldNoCopy(PVOID, LPCOLESTR, VARIANT*, PVOID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE PutField(ULONG, PVOID, LPCOLESTR, VARIANT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE PutFieldNoCopy(ULONG, PVOID, LPCOLESTR, VARIANT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetFieldNames(ULONG*, BSTR*) override { return E_NOTIMPL; }
    BOOL STDMETHODCALLTYPE IsMatchingType(IRecordInfo*) override { return FALSE; }
    PVOID STDMETHODCALLTYPE RecordCreate() override { return nullptr; }
    HRESULT STDMETHODCALLTYPE RecordCreateCopy(PVOID, PVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RecordDestroy(PVOID) override { return E_NOTIMPL; }
};

TEST_F(HostProbeTest, LateBoundRecordSmallerThanWindowstayIsRefused) {
    ComPtr<_zelcalc> calc = make_object(module);
    ASSERT_TRUE(calc);
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(calc->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
    ShortRecordInfo info;
    float shortRecord[2] = {3000, 3000};
    double m = 6, mmax = 0;
    VARIANT args[3];  // last argument first
    args[2].vt = VT_R8 | VT_BYREF;
    args[2].pdblVal = &m;
    args[1].vt = VT_RECORD | VT_BYREF;
    args[1].pvRecord = shortRecord;
    args[1].pRecInfo = &info;
    args[0].vt = VT_R8 | VT_BYREF;
    args[0].pdblVal = &mmax;
    DISPPARAMS params = {args, nullptr, 3, 0};
    VARIANT result;
    VariantInit(&result);
    UINT argErr = 99;
    EXPECT_EQ(dispatch->Invoke(0x60030002, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr,
                               &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 1u);
    EXPECT_EQ(own_calc_window(), nullptr);
}

// A host with its own settings file keeps its rate when another host names itself.
TEST_F(HostProbeTest, HostTaxRateComesFromTheHostsOwnFileAtEveryCall) {
    const std::wstring mine = folder.path() + L"mine.ini";
    WritePrivateProfileStringW(L"Setup", L"Tax", L"100", mine.c_str());
    ComPtr<_zelcalc> calc = make_object(module);
    ASSERT_TRUE(calc);
    UniqueBstr name(mine.c_str());
    ASSERT_EQ(calc->SetAppName(name.get()), S_OK);

    // Another host process names itself, at 5 %, through the same component file.
    const std::wstring other = folder.path() + L"other.ini";
    WritePrivateProfileStringW(L"Setup", L"Tax", L"50", other.c_str());
    SetEnvironmentVariableW(L"Z5_PROBE_APP_NAME", other.c_str());
    std::wstring command = L"\"" + module_path_of_self() +
                           L"\" --gtest_also_run_disabled_tests "
                           L"--gtest_filter=OtherHost.DISABLED_NamesItself";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
    SetEnvironmentVariableW(L"Z5_PROBE_APP_NAME", nullptr);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_EQ(code, 0u);
    wchar_t written[32] = {};
    GetPrivateProfileStringW(L"Setup", L"Tax", L"", written, 32, settings_file().c_str());
    ASSERT_EQ(std::wstring(written), L"50");

    struct Case {
        const wchar_t* key;
        const wchar_t* value;
        double withTax;
    };
    // Read afresh at every call; a mode out of range gives mode 0 rather than a failure.
    for (const Case& c : {Case{nullptr, nullptr, 1100}, Case{L"Tax", L"80", 1080},
                          Case{L"TaxMode", L"40000", 1080}}) {
        if (c.key) WritePrivateProfileStringW(L"Setup", c.key, c.value, mine.c_str());
        Steps steps;
        steps.click(L"taxin").type(L"\r");
        const CallResult r = show(calc.get(), steps, 1000);
        EXPECT_EQ(r.hr, S_OK);
        EXPECT_EQ(r.value, c.withTax) << (c.key ? narrow(c.key) : "as named");
    }
}

TEST(OtherHost, DISABLED_NamesItself) {
    wchar_t name[MAX_PATH] = {};
    ASSERT_NE(GetEnvironmentVariableW(L"Z5_PROBE_APP_NAME", name, MAX_PATH), 0u);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE module = LoadLibraryW(dll_path().c_str());
    ASSERT_NE(module, nullptr);
    {
        ComPtr<_zelcalc> calc = make_object(module);
        ASSERT_TRUE(calc);
        UniqueBstr text(name);
        EXPECT_EQ(calc->SetAppName(text.get()), S_OK);
    }
    FreeLibrary(module);
    CoUninitialize();
}

}  // namespace
}  // namespace z5calc
