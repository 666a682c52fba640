// Per-user registration of z5calcD.dll, no administrator rights needed:
//   regcalc [/u] path\to\z5calcD.dll       (regcalc /? tells how)
// Runs the DLL's own DllRegisterServer or DllUnregisterServer with HKEY_CLASSES_ROOT redirected to
// HKEY_CURRENT_USER\Software\Classes, so the one registration table serves both scopes. The
// table writes the type library's keys itself (no RegisterTypeLib), so they follow the redirect
// too and no per-user type-library switch is needed.
// Exit codes as regsvr32's: 0 done, 1 bad arguments, 3 load failed, 4 entry missing, 5 call failed.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
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

#ifdef _WIN64
constexpr WORD kOwnMachine = IMAGE_FILE_MACHINE_AMD64;
constexpr const wchar_t* kOwnBits = L"64-bit";
constexpr const wchar_t* kOtherPackage = L"the 32-bit regcalc.exe (z5calc-win32.zip)";
#else
constexpr WORD kOwnMachine = IMAGE_FILE_MACHINE_I386;
constexpr const wchar_t* kOwnBits = L"32-bit";
constexpr const wchar_t* kOtherPackage = L"the 64-bit regcalc.exe (z5calc-win64.zip)";
#endif

constexpr wchar_t kUsage[] =
    L"regcalc: registers z5calcD.dll for the current user, without administrator rights.\n"
    L"  regcalc path\\to\\z5calcD.dll      register\n"
    L"  regcalc /u path\\to\\z5calcD.dll   remove that registration again\n"
    L"The DLL must be of this regcalc's bitness (%ls).\n";

// The machine a PE file is built for, 0 when it cannot be read as one.
WORD machine_of(const wchar_t* path) {
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    IMAGE_DOS_HEADER dos = {};
    IMAGE_FILE_HEADER header = {};
    DWORD read = 0, signature = 0;
    WORD machine = 0;
    if (ReadFile(file, &dos, sizeof(dos), &read, nullptr) && read == sizeof(dos) &&
        dos.e_magic == IMAGE_DOS_SIGNATURE &&
        SetFilePointer(file, dos.e_lfanew, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
        ReadFile(file, &signature, sizeof(signature), &read, nullptr) &&
        signature == IMAGE_NT_SIGNATURE &&
        ReadFile(file, &header, sizeof(header), &read, nullptr) && read == sizeof(header)) {
        machine = header.Machine;
    }
    CloseHandle(file);
    return machine;
}

// Why the DLL did not load, in words.
void report_load_failure(const wchar_t* path, DWORD error) {
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        std::fwprintf(stderr, L"regcalc: there is no file %ls\n", path);
        return;
    }
    const WORD machine = machine_of(path);
    if (machine != 0 && machine != kOwnMachine) {
        std::fwprintf(stderr, L"regcalc: %ls is not a %ls DLL; register it with %ls\n", path,
                      kOwnBits, kOtherPackage);
        return;
    }
    if (machine == 0) {
        std::fwprintf(stderr, L"regcalc: %ls is not a DLL\n", path);
        return;
    }
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::fwprintf(stderr, L"regcalc: cannot load %ls: %ls (error %lu)\n", path, text ? text : L"",
                  error);
    if (text) LocalFree(text);
}

bool is_help(const wchar_t* arg) {
    return std::wcscmp(arg, L"/?") == 0 || std::wcscmp(arg, L"-?") == 0 ||
           std::wcscmp(arg, L"/h") == 0 || std::wcscmp(arg, L"--help") == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && is_help(argv[1])) {
        std::wprintf(kUsage, kOwnBits);
        return 0;
    }
    bool unregister =
        argc == 3 && (std::wcscmp(argv[1], L"/u") == 0 || std::wcscmp(argv[1], L"-u") == 0);
    if (argc != 2 && !unregister) {
        std::fwprintf(stderr, kUsage, kOwnBits);
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
        report_load_failure(path, GetLastError());
        return 3;
    }
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto call = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), entry)));
    if (!call) {
        std::fwprintf(stderr,
                      L"regcalc: %ls is not a component that registers itself (it has no %hs)\n",
                      path, entry);
        return 4;
    }
    HRESULT hr = call();
    if (FAILED(hr)) {
        std::fwprintf(stderr, L"regcalc: %hs of %ls failed (0x%08lX)\n", entry, path,
                      static_cast<unsigned long>(hr));
        return 5;
    }
    if (unregister) {
        std::wprintf(L"regcalc: removed the current user's registration of %ls\n", path);
    } else {
        std::wprintf(
            L"regcalc: registered %ls for the current user "
            L"(HKEY_CURRENT_USER\\Software\\Classes)\n",
            path);
    }
    return 0;
}
