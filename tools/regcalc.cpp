// Per-user registration of z5calcD.dll, no administrator rights needed:
//   regcalc [/u] path\to\z5calcD.dll
// Runs the DLL's own DllRegisterServer or DllUnregisterServer with HKEY_CLASSES_ROOT redirected to
// HKEY_CURRENT_USER\Software\Classes, so the one registration table serves both scopes. The
// table writes the type library's keys itself (no RegisterTypeLib), so they follow the redirect
// too and no per-user type-library switch is needed.
// Exit codes as regsvr32's: 0 done, 1 bad arguments, 3 load failed, 4 entry missing, 5 call failed.
#include <windows.h>
#include <oleauto.h>

#include <cwchar>

namespace {

class Library {
  public:
    explicit Library(const wchar_t* path)
        : module_(LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {}
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() {
        if (module_) FreeLibrary(module_);
    }
    HMODULE get() const { return module_; }

  private:
    HMODULE module_;
};

class ClassesRedirect {
  public:
    ClassesRedirect() {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key_, nullptr) == ERROR_SUCCESS) {
            active_ = RegOverridePredefKey(HKEY_CLASSES_ROOT, key_) == ERROR_SUCCESS;
        }
    }
    ClassesRedirect(const ClassesRedirect&) = delete;
    ClassesRedirect& operator=(const ClassesRedirect&) = delete;
    ~ClassesRedirect() {
        if (active_) RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (key_) RegCloseKey(key_);
    }
    bool active() const { return active_; }

  private:
    HKEY key_ = nullptr;
    bool active_ = false;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool unregister =
        argc == 3 && (std::wcscmp(argv[1], L"/u") == 0 || std::wcscmp(argv[1], L"-u") == 0);
    if (argc != 2 && !unregister) {
        std::fwprintf(stderr, L"usage: regcalc [/u] path\\to\\z5calcD.dll\n");
        return 1;
    }
    const wchar_t* path = argv[argc - 1];
    ClassesRedirect redirect;
    if (!redirect.active()) {
        std::fwprintf(stderr,
                      L"regcalc: cannot redirect HKEY_CLASSES_ROOT to the user's classes\n");
        return 5;
    }
    Library library(path);
    if (!library.get()) {
        std::fwprintf(stderr, L"regcalc: cannot load %ls (error %lu)\n", path, GetLastError());
        return 3;
    }
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto call = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), entry)));
    if (!call) {
        std::fwprintf(stderr, L"regcalc: %ls has no %hs\n", path, entry);
        return 4;
    }
    HRESULT hr = call();
    if (FAILED(hr)) {
        std::fwprintf(stderr, L"regcalc: %hs failed (0x%08lX)\n", entry,
                      static_cast<unsigned long>(hr));
        return 5;
    }
    return 0;
}
