#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cctype>
#include <limits>
#include <string>
#include <vector>

#include "error_info.h"
#include "handles.h"
#include "pe_image.h"
#include "test_files.h"
#include "z5calcD_h.h"
#include "zelcalc.h"

namespace z5calc {
namespace {

std::wstring guid_text(const GUID& guid) {
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}

// The value of a key under a root, or nullopt when the key or value is missing.
std::optional<std::wstring> reg_text(HKEY root, const std::wstring& key,
                                     const wchar_t* name = nullptr, REGSAM view = 0) {
    UniqueHkey k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, k.put()) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t buf[1024];
    DWORD size = sizeof buf, type = 0;
    if (RegQueryValueExW(k.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(buf, size / sizeof(wchar_t) -
                                 (size >= sizeof(wchar_t) && buf[size / sizeof(wchar_t) - 1] == 0));
}

bool reg_key_exists(HKEY root, const std::wstring& key, REGSAM view = 0) {
    UniqueHkey k;
    return RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, k.put()) == ERROR_SUCCESS;
}

#ifdef _WIN64
constexpr const wchar_t* kPlatform = L"win64";
#else
constexpr const wchar_t* kPlatform = L"win32";
#endif

class Dll {
  public:
    Dll() : module_(LoadLibraryW(dll_path().c_str())) {}
    Dll(const Dll&) = delete;
    Dll& operator=(const Dll&) = delete;
    ~Dll() {
        if (module_) FreeLibrary(module_);
    }
    HMODULE get() const { return module_; }
    template <class F>
    F* entry(const char* name) const {
        return reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    HRESULT call(const char* name) const { return entry<HRESULT STDAPICALLTYPE()>(name)(); }

  private:
    HMODULE module_;
};

class ComponentTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        dll = new Dll();
        ASSERT_NE(dll->get(), nullptr) << narrow(dll_path());
        ASSERT_EQ(dll->call("DllRegisterServer"), S_OK);
    }
    static void TearDownTestSuite() {
        dll->call("DllUnregisterServer");
        delete dll;
        CoUninitialize();
    }
    static ComPtr<_zelcalc> create() {
        ComPtr<_zelcalc> calc;
        EXPECT_EQ(CoCreateInstance(CLSID_zelcalc, nullptr, CLSCTX_INPROC_SERVER, IID__zelcalc,
                                   calc.put_void()),
                  S_OK);
        return calc;
    }
    static Dll* dll;
};
Dll* ComponentTest::dll = nullptr;

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TEST_F(ComponentTest, ImportsOnlySystemDlls) {
    const std::vector<std::string> system = {
        "kernel32.dll", "user32.dll",  "gdi32.dll",  "ole32.dll", "oleaut32.dll",
        "advapi32.dll", "shell32.dll", "msvcrt.dll", "imm32.dll", "comctl32.dll",
        "shlwapi.dll",  "version.dll", "oleacc.dll"};
    std::vector<std::string> imports = imported_dlls(dll->get());
    ASSERT_FALSE(imports.empty());
    for (const std::string& name : imports) {
        EXPECT_NE(std::find(system.begin(), system.end(), lower(name)), system.end()) << name;
        EXPECT_EQ(lower(name).find("libstdc++"), std::string::npos);
        EXPECT_EQ(lower(name).find("libgcc"), std::string::npos);
        EXPECT_EQ(lower(name).find("winpthread"), std::string::npos);
    }
}

TEST_F(ComponentTest, ExportsExactlyTheFourEntryPointsByName) {
    std::vector<std::string> names = exported_names(dll->get());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject",
                                               "DllRegisterServer", "DllUnregisterServer"}));
    EXPECT_EQ(unnamed_export_count(dll->get()), 0u);
}

TEST_F(ComponentTest, ResourcesCarryTypeLibraryIidAndVersion) {
    EXPECT_NE(FindResourceW(dll->get(), MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr);
    HRSRC iid = FindResourceW(dll->get(), L"_IID_ZELCALC", L"CUSTOM");
    ASSERT_NE(iid, nullptr);
    ASSERT_EQ(SizeofResource(dll->get(), iid), 20u);
    auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(dll->get(), iid)));
    DWORD length = 0;
    memcpy(&length, bytes, 4);
    EXPECT_EQ(length, 16u);
    IID stored;
    memcpy(&stored, bytes + 4, 16);
    EXPECT_TRUE(IsEqualIID(stored, IID__zelcalc));

    std::wstring path = dll_path();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixed_size = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 5u);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 0u);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), 226u);
}

TEST_F(ComponentTest, RegistrationWritesClassProgIdTypeLibraryAndInterface) {
    const std::wstring clsid = L"CLSID\\" + guid_text(CLSID_zelcalc);
    const std::wstring libid = guid_text(LIBID_z5calcD);
    HKEY root = HKEY_CLASSES_ROOT;
    EXPECT_EQ(reg_text(root, clsid + L"\\InprocServer32"), dll_path());
    EXPECT_EQ(reg_text(root, clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(reg_text(root, clsid + L"\\ProgID"), L"z5calcD.zelcalc.1");
    EXPECT_EQ(reg_text(root, clsid + L"\\VersionIndependentProgID"), L"z5calcD.zelcalc");
    EXPECT_EQ(reg_text(root, clsid + L"\\TypeLib"), libid);
    EXPECT_TRUE(reg_key_exists(root, clsid + L"\\Programmable"));
    EXPECT_EQ(reg_text(root, L"z5calcD.zelcalc\\CLSID"), guid_text(CLSID_zelcalc));
    EXPECT_EQ(reg_text(root, L"z5calcD.zelcalc\\CurVer"), L"z5calcD.zelcalc.1");
    EXPECT_EQ(reg_text(root, L"z5calcD.zelcalc.1\\CLSID"), guid_text(CLSID_zelcalc));
    EXPECT_EQ(reg_text(root, L"TypeLib\\" + libid + L"\\1.0\\0\\" + kPlatform), dll_path());
    EXPECT_EQ(reg_text(root, L"TypeLib\\" + libid + L"\\1.0\\FLAGS"), L"0");
    const std::wstring iface = L"Interface\\" + guid_text(IID__zelcalc);
    EXPECT_EQ(reg_text(root, iface), L"_zelcalc");
    EXPECT_EQ(reg_text(root, iface + L"\\ProxyStubClsid32"),
              L"{00020424-0000-0000-C000-000000000046}");
    EXPECT_EQ(reg_text(root, iface + L"\\TypeLib"), libid);
    EXPECT_EQ(reg_text(root, iface + L"\\TypeLib", L"Version"), L"1.0");

    // The registered library is what record marshalling finds.
    ComPtr<IRecordInfo> record;
    EXPECT_EQ(GetRecordInfoFromGuids(LIBID_z5calcD, 1, 0, 0, kWindowstayGuid, record.put()), S_OK);
}

TEST_F(ComponentTest, UnregistrationRemovesExactlyWhatWasWritten) {
    const std::wstring libid = guid_text(LIBID_z5calcD);
    const std::wstring foreign = L"TypeLib\\" + libid + L"\\2.0";
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, foreign.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    key.reset();
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"z5calcD.zelcalc\\Foreign", 0, nullptr, 0,
                              KEY_WRITE, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    key.reset();

    ASSERT_EQ(dll->call("DllUnregisterServer"), S_OK);
    EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, L"CLSID\\" + guid_text(CLSID_zelcalc)));
    EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, L"z5calcD.zelcalc.1"));
    EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, L"z5calcD.zelcalc\\CLSID"));
    EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, L"Interface\\" + guid_text(IID__zelcalc)));
    EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, L"TypeLib\\" + libid + L"\\1.0"));
    // Keys someone else put there stay, and so do their parents.
    EXPECT_TRUE(reg_key_exists(HKEY_CLASSES_ROOT, foreign));
    EXPECT_TRUE(reg_key_exists(HKEY_CLASSES_ROOT, L"z5calcD.zelcalc\\Foreign"));
    RegDeleteKeyW(HKEY_CLASSES_ROOT, foreign.c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, (L"TypeLib\\" + libid).c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, L"z5calcD.zelcalc\\Foreign");
    RegDeleteKeyW(HKEY_CLASSES_ROOT, L"z5calcD.zelcalc");
    // Unregistering twice is harmless.
    EXPECT_EQ(dll->call("DllUnregisterServer"), S_OK);
    ASSERT_EQ(dll->call("DllRegisterServer"), S_OK);
}

int run_program(const std::wstring& command_line) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring line = command_line;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::wstring regcalc_path() {
    std::string utf8 = REGCALC_EXE;
    std::wstring wide(utf8.begin(), utf8.end());
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return L"Z:" + wide;
}

// Per-user registration writes the same rows under the user's classes. The system's COM
// activation here does not read them, so the keys are checked rather than activation.
TEST_F(ComponentTest, PerUserRegistrationThroughRegcalc) {
    const std::wstring user = L"Software\\Classes\\";
#ifdef _WIN64
    const std::wstring clsid = user + L"CLSID\\" + guid_text(CLSID_zelcalc);
#else
    const std::wstring clsid = user + L"Wow6432Node\\CLSID\\" + guid_text(CLSID_zelcalc);
#endif
    const std::wstring quoted = L"\"" + regcalc_path() + L"\" ";
    ASSERT_EQ(run_program(quoted + L"\"" + dll_path() + L"\""), 0);
    std::optional<std::wstring> server = reg_text(HKEY_CURRENT_USER, clsid + L"\\InprocServer32");
    if (!server)
        server = reg_text(HKEY_CURRENT_USER,
                          user + L"CLSID\\" + guid_text(CLSID_zelcalc) + L"\\InprocServer32");
    EXPECT_EQ(server, dll_path());
    EXPECT_EQ(reg_text(HKEY_CURRENT_USER, user + L"z5calcD.zelcalc\\CurVer"), L"z5calcD.zelcalc.1");
    EXPECT_EQ(reg_text(HKEY_CURRENT_USER,
                       user + L"TypeLib\\" + guid_text(LIBID_z5calcD) + L"\\1.0\\0\\" + kPlatform),
              dll_path());

    ASSERT_EQ(run_program(quoted + L"/u \"" + dll_path() + L"\""), 0);
    EXPECT_FALSE(reg_key_exists(HKEY_CURRENT_USER, clsid));
    EXPECT_FALSE(reg_key_exists(HKEY_CURRENT_USER, user + L"CLSID\\" + guid_text(CLSID_zelcalc)));
    EXPECT_FALSE(reg_key_exists(HKEY_CURRENT_USER, user + L"z5calcD.zelcalc"));
    EXPECT_FALSE(reg_key_exists(HKEY_CURRENT_USER, user + L"TypeLib\\" + guid_text(LIBID_z5calcD)));
    // The machine-wide registration was not touched.
    EXPECT_EQ(
        reg_text(HKEY_CLASSES_ROOT, L"CLSID\\" + guid_text(CLSID_zelcalc) + L"\\InprocServer32"),
        dll_path());

    EXPECT_EQ(run_program(quoted), 1);
    EXPECT_EQ(run_program(quoted + L"\"C:\\no\\such.dll\""), 3);
}

TEST_F(ComponentTest, CreatedByClsidAndByProgId) {
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"z5calcD.zelcalc", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_zelcalc));
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, dispatch.put_void()),
        S_OK);
    ComPtr<ISupportErrorInfo> errors;
    ASSERT_EQ(dispatch->QueryInterface(IID_ISupportErrorInfo, errors.put_void()), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID__zelcalc), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(dispatch->QueryInterface(IID_IClassFactory, unknown.put_void()), E_NOINTERFACE);
    EXPECT_EQ(unknown.get(), nullptr);
}

TEST_F(ComponentTest, ClassObjectsAndUnloading) {
    auto get_class =
        dll->entry<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>("DllGetClassObject");
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(get_class(IID_IDispatch, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(dll->call("DllCanUnloadNow"), S_OK);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(get_class(CLSID_zelcalc, IID_IClassFactory, factory.put_void()), S_OK);
    EXPECT_EQ(dll->call("DllCanUnloadNow"), S_FALSE);
    ComPtr<IUnknown> outer_attempt;
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory.get()), IID_IUnknown,
                                      outer_attempt.put_void()),
              CLASS_E_NOAGGREGATION);
    ComPtr<_zelcalc> calc;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID__zelcalc, calc.put_void()), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.reset();
    EXPECT_EQ(dll->call("DllCanUnloadNow"), S_FALSE);  // the object and the lock
    calc.reset();
    EXPECT_EQ(dll->call("DllCanUnloadNow"), S_FALSE);  // the lock
    ASSERT_EQ(get_class(CLSID_zelcalc, IID_IClassFactory, factory.put_void()), S_OK);
    factory->LockServer(FALSE);
    factory.reset();
    EXPECT_EQ(dll->call("DllCanUnloadNow"), S_OK);
}

// Everything a host's object browser and binder read of the type library at path.
void expect_type_library(const std::wstring& path) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()), S_OK) << narrow(path);
    TLIBATTR* lib = nullptr;
    ASSERT_EQ(library->GetLibAttr(&lib), S_OK);
    EXPECT_TRUE(IsEqualGUID(lib->guid, LIBID_z5calcD));
    EXPECT_EQ(lib->wMajorVerNum, 1);
    EXPECT_EQ(lib->wMinorVerNum, 0);
    EXPECT_EQ(lib->lcid, 0u);
    library->ReleaseTLibAttr(lib);
    UniqueBstr name;
    library->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(name.view(), L"z5calcD");

    // The interface: hidden, dual, nonextensible, oleautomation, methods in vtable order.
    ComPtr<ITypeInfo> dispatch_info;
    ASSERT_EQ(library->GetTypeInfoOfGuid(IID__zelcalc, dispatch_info.put()), S_OK);
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(dispatch_info->GetRefTypeOfImplType(-1, &ref), S_OK);
    ASSERT_EQ(dispatch_info->GetRefTypeInfo(ref, info.put()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
    const WORD flags =
        TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION;
    EXPECT_EQ(attr->wTypeFlags & flags, flags);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->cFuncs, 3);
    info->ReleaseTypeAttr(attr);

    struct Method {
        const wchar_t* name;
        MEMBERID id;
        std::vector<VARTYPE> types;  // VT_PTR params are checked by their target below
        std::vector<USHORT> param_flags;
    };
    const Method methods[] = {
        {L"SetAppName", 0x60030000, {VT_BSTR}, {PARAMFLAG_FIN}},
        {L"SetHelpFile", 0x60030001, {VT_BSTR, VT_I4}, {PARAMFLAG_FIN, PARAMFLAG_FIN}},
        {L"showcalc",
         0x60030002,
         {VT_R8, VT_USERDEFINED, VT_R8, VT_R8},
         {PARAMFLAG_FIN | PARAMFLAG_FOUT, PARAMFLAG_FIN | PARAMFLAG_FOUT,
          PARAMFLAG_FIN | PARAMFLAG_FOUT, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL}},
    };
    for (UINT i = 0; i < 3; ++i) {
        FUNCDESC* func = nullptr;
        ASSERT_EQ(info->GetFuncDesc(i, &func), S_OK);
        const Method& m = methods[i];
        EXPECT_EQ(func->memid, m.id) << i;
        EXPECT_EQ(func->oVft, static_cast<SHORT>((7 + i) * sizeof(void*))) << i;
        UniqueBstr func_name;
        info->GetDocumentation(func->memid, func_name.put(), nullptr, nullptr, nullptr);
        EXPECT_EQ(func_name.view(), m.name);
        ASSERT_EQ(func->cParams, static_cast<SHORT>(m.types.size())) << i;
        for (SHORT p = 0; p < func->cParams; ++p) {
            TYPEDESC& type = func->lprgelemdescParam[p].tdesc;
            VARTYPE vt = type.vt == VT_PTR ? type.lptdesc->vt : type.vt;
            EXPECT_EQ(vt, m.types[p]) << narrow(m.name) << " param " << p;
            EXPECT_EQ(type.vt == VT_PTR, i == 2) << narrow(m.name) << " param " << p;
            EXPECT_EQ(func->lprgelemdescParam[p].paramdesc.wParamFlags, m.param_flags[p])
                << narrow(m.name) << p;
        }
        info->ReleaseFuncDesc(func);
    }

    // The record: 16 bytes, four floats at 0, 4, 8 and 12.
    ComPtr<ITypeInfo> record;
    ASSERT_EQ(library->GetTypeInfoOfGuid(kWindowstayGuid, record.put()), S_OK);
    ASSERT_EQ(record->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_RECORD);
    EXPECT_EQ(attr->cbSizeInstance, 16u);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->cVars, 4);
    record->ReleaseTypeAttr(attr);
    const wchar_t* fields[] = {L"Wtop", L"Wleft", L"Wwidth", L"Wheight"};
    for (UINT i = 0; i < 4; ++i) {
        VARDESC* var = nullptr;
        ASSERT_EQ(record->GetVarDesc(i, &var), S_OK);
        EXPECT_EQ(var->oInst, i * 4);
        EXPECT_EQ(var->elemdescVar.tdesc.vt, VT_R4);
        UniqueBstr field, help;
        DWORD context = 1;
        record->GetDocumentation(var->memid, field.put(), help.put(), &context, nullptr);
        EXPECT_EQ(field.view(), fields[i]);
        EXPECT_EQ(help.view(), fields[i]);  // each field's help string is its own name
        EXPECT_EQ(context, 0u);
        record->ReleaseVarDesc(var);
    }

    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(library->GetTypeInfoOfGuid(CLSID_zelcalc, coclass.put()), S_OK);
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
    coclass->ReleaseTypeAttr(attr);
}

TEST_F(ComponentTest, TypeLibraryReadBackFromTheDll) {
    expect_type_library(dll_path());
}

TEST_F(ComponentTest, TypeLibraryReadBackFromTheShippedFile) {
    expect_type_library(unix_to_wine_path(Z5CALC_TLB));
}

std::wstring error_description() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return L"(no error info)";
    UniqueBstr text;
    info->GetDescription(text.put());
    return std::wstring(text.view());
}

TEST_F(ComponentTest, EarlyBoundCalls) {
    ComPtr<_zelcalc> calc = create();
    ASSERT_TRUE(calc);
    UniqueBstr name(L"earlyhost");
    EXPECT_EQ(calc->SetAppName(name.get()), S_OK);
    EXPECT_EQ(calc->SetAppName(nullptr), S_OK);  // a null BSTR is the empty text
    UniqueBstr help(L"C:\\help\\early.chm");
    EXPECT_EQ(calc->SetHelpFile(help.get(), 42), S_OK);

    // Values that are no numbers fail before any window opens.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double m, mmax;
        windowstay ws;
        const wchar_t* names;
    };
    for (const Case& c :
         {Case{nan, 0, {100, 200, 300, 400}, L"starting value"},
          Case{12.5, inf, {100, 200, 300, 400}, L"limit"},
          Case{12.5, 0, {100, 200, std::numeric_limits<float>::infinity(), 400}, L"rectangle"},
          Case{-inf, 0, {100, 200, 300, 400}, L"starting value"},
          Case{12.5, -1, {100, 200, 300, 400}, L"the limit mmax is negative"}}) {
        double m = c.m, mmax = c.mmax, result = 0;
        windowstay ws = c.ws;
        EXPECT_EQ(calc->showcalc(&m, &ws, &mmax, &result), E_INVALIDARG);
        EXPECT_NE(error_description().find(c.names), std::wstring::npos)
            << narrow(error_description());
        EXPECT_EQ(FindWindowW(L"z5calc.frmCalc", nullptr), nullptr);
    }
    // A placement far beyond any screen overflows, and takes its window with it.
    double m = 12.5, mmax = 0, result = 0;
    windowstay distant = {3e38f, 3e38f, 300, 400};
    EXPECT_EQ(calc->showcalc(&m, &distant, &mmax, &result), kOverflowError);
    EXPECT_EQ(error_description().rfind(L"Overflow: showcalc cannot place the calculator beside "
                                        L"the field rectangle (Wtop=",
                                        0),
              0u)
        << narrow(error_description());
    EXPECT_EQ(FindWindowW(L"z5calc.frmCalc", nullptr), nullptr);
    EXPECT_EQ(distant.Wtop, 3e38f);
    windowstay ws = {100, 200, 300, 400};
    EXPECT_EQ(calc->showcalc(nullptr, &ws, &mmax, &result), E_POINTER);
}

// Builds DISPPARAMS the way a host does: arguments given in declaration order, stored last first.
class Call {
  public:
    explicit Call(std::vector<VARIANT> args) : args_(args.rbegin(), args.rend()) {
        params_.rgvarg = args_.empty() ? nullptr : args_.data();
        params_.cArgs = static_cast<UINT>(args_.size());
    }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
    ~Call() {
        for (VARIANT& v : args_) VariantClear(&v);
        VariantClear(&result);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrHelpFile);
    }
    HRESULT invoke(IDispatch* dispatch, DISPID id, WORD flags = DISPATCH_METHOD) {
        return dispatch->Invoke(id, IID_NULL, 0, flags, &params_, &result, &excep, &arg_err);
    }
    DISPPARAMS params_ = {};
    VARIANT result = {};
    EXCEPINFO excep = {};
    UINT arg_err = 999;

  private:
    std::vector<VARIANT> args_;
};

VARIANT bstr_arg(const wchar_t* text) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}
VARIANT i4_arg(LONG value) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}
VARIANT r8_arg(double value) {
    VARIANT v;
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}
VARIANT ref_arg(double* value) {
    VARIANT v;
    v.vt = VT_R8 | VT_BYREF;
    v.pdblVal = value;
    return v;
}
VARIANT missing_arg() {
    VARIANT v;
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

TEST_F(ComponentTest, NamesAreFoundWithoutRegardToCase) {
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(CoCreateInstance(CLSID_zelcalc, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               dispatch.put_void()),
              S_OK);
    UINT count = 0;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(dispatch->GetTypeInfo(0, 0, info.put()), S_OK);
    EXPECT_EQ(dispatch->GetTypeInfo(1, 0, info.put()), DISP_E_BADINDEX);

    struct Case {
        const wchar_t* name;
        DISPID id;
    };
    for (const Case& c : {Case{L"SetAppName", 0x60030000}, Case{L"setappname", 0x60030000},
                          Case{L"SETHELPFILE", 0x60030001}, Case{L"ShowCalc", 0x60030002}}) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(c.name)};
        DISPID id = 0;
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << narrow(c.name);
        EXPECT_EQ(id, c.id) << narrow(c.name);
    }
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Calculate")};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_IDispatch, unknown, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
}

TEST_F(ComponentTest, LateBoundCallsAndCoercions) {
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(CoCreateInstance(CLSID_zelcalc, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               dispatch.put_void()),
              S_OK);
    {
        Call call({bstr_arg(L"latehost")});
        EXPECT_EQ(call.invoke(dispatch.get(), 0x60030000), S_OK);
        EXPECT_EQ(call.result.vt, VT_EMPTY);
    }
    {
        BSTR by_ref = SysAllocString(L"latehost");
        VARIANT v;
        v.vt = VT_BSTR | VT_BYREF;
        v.pbstrVal = &by_ref;
        Call call({v});
        EXPECT_EQ(call.invoke(dispatch.get(), 0x60030000), S_OK);
        SysFreeString(by_ref);
    }
    {
        Call call({i4_arg(5)});  // a number where text is expected is converted, as VB does
        EXPECT_EQ(call.invoke(dispatch.get(), 0x60030000), S_OK);
    }
    {
        Call call({bstr_arg(L"C:\\h\\late.chm"), bstr_arg(L"12")});
        EXPECT_EQ(call.invoke(dispatch.get(), 0x60030001), S_OK);
    }
    struct Refused {
        std::vector<VARIANT> args;
        DISPID id;
        HRESULT hr;
        UINT arg_err;
    };
    VARIANT dispatch_arg;
    dispatch_arg.vt = VT_DISPATCH;
    dispatch_arg.pdispVal = nullptr;
    const Refused refused[] = {
        {{}, 0x60030000, DISP_E_BADPARAMCOUNT, 999},
        {{bstr_arg(L"a"), bstr_arg(L"b")}, 0x60030000, DISP_E_BADPARAMCOUNT, 999},
        {{bstr_arg(L"a")}, 0x60030001, DISP_E_BADPARAMCOUNT, 999},
        {{bstr_arg(L"a"), bstr_arg(L"abc")}, 0x60030001, DISP_E_TYPEMISMATCH, 0},
        // a topic id that is no whole 32-bit number is described, not rounded or saturated
        {{bstr_arg(L"a"), r8_arg(1e20)}, 0x60030001, DISP_E_EXCEPTION, 0},
        {{bstr_arg(L"a"), r8_arg(2.5)}, 0x60030001, DISP_E_EXCEPTION, 0},
        {{bstr_arg(L"a"), r8_arg(std::nan(""))}, 0x60030001, DISP_E_EXCEPTION, 0},
        {{bstr_arg(L"a"), r8_arg(2147483648.0)}, 0x60030001, DISP_E_EXCEPTION, 0},
        {{dispatch_arg, i4_arg(1)}, 0x60030001, DISP_E_TYPEMISMATCH, 1},
        {{missing_arg()}, 0x60030000, DISP_E_PARAMNOTOPTIONAL, 0},
        // a number is no field: described through the exception information
        {{r8_arg(1), i4_arg(2), r8_arg(3)}, 0x60030002, DISP_E_EXCEPTION, 1},
        {{r8_arg(1), r8_arg(2)}, 0x60030002, DISP_E_BADPARAMCOUNT, 999},
        {{bstr_arg(L"a")}, 0x12345, DISP_E_MEMBERNOTFOUND, 999},
    };
    for (const Refused& r : refused) {
        Call call(r.args);
        EXPECT_EQ(call.invoke(dispatch.get(), r.id), r.hr)
            << std::hex << r.id << " " << r.args.size();
        EXPECT_EQ(call.arg_err, r.arg_err) << std::hex << r.id << " " << r.args.size();
    }
    {
        Call call({bstr_arg(L"C:\\h\\late.chm"), r8_arg(2.5)});
        EXPECT_EQ(call.invoke(dispatch.get(), 0x60030001), DISP_E_EXCEPTION);
        EXPECT_EQ(call.excep.scode, DISP_E_TYPEMISMATCH);
        EXPECT_EQ(std::wstring(call.excep.bstrDescription ? call.excep.bstrDescription : L""),
                  L"SetHelpFile: the help topic id must be a whole number from -2147483648 to "
                  L"2147483647");
    }
    {
        Call call({bstr_arg(L"a")});
        EXPECT_EQ(call.invoke(dispatch.get(), 0x60030000, DISPATCH_PROPERTYPUT),
                  DISP_E_MEMBERNOTFOUND);
    }
    {
        Call call({bstr_arg(L"a")});
        DISPID named = 0;
        call.params_.rgdispidNamedArgs = &named;
        call.params_.cNamedArgs = 1;
        EXPECT_EQ(call.invoke(dispatch.get(), 0x60030000), DISP_E_NONAMEDARGS);
    }
    EXPECT_EQ(dispatch->Invoke(0x60030000, IID_IDispatch, 0, DISPATCH_METHOD, nullptr, nullptr,
                               nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
}

TEST_F(ComponentTest, LateBoundShowcalcTakesARecordAndReportsThroughExcepinfo) {
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(CoCreateInstance(CLSID_zelcalc, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               dispatch.put_void()),
              S_OK);
    ComPtr<IRecordInfo> record_info;
    ASSERT_EQ(GetRecordInfoFromGuids(LIBID_z5calcD, 1, 0, 0, kWindowstayGuid, record_info.put()),
              S_OK);
    windowstay ws = {1, 2, 3, 4};
    VARIANT record;
    record.vt = VT_RECORD | VT_BYREF;
    record.pvRecord = &ws;
    record.pRecInfo = record_info.get();
    record_info->AddRef();  // the Call clears the variant, releasing one reference
    double m = 7, mmax = std::numeric_limits<double>::quiet_NaN();
    {
        Call call({ref_arg(&m), record, ref_arg(&mmax)});
        record.pvRecord = nullptr;
        EXPECT_EQ(call.invoke(dispatch.get(), 0x60030002, DISPATCH_METHOD | DISPATCH_PROPERTYGET),
                  DISP_E_EXCEPTION);
        EXPECT_EQ(call.excep.scode, E_INVALIDARG);
        EXPECT_NE(std::wstring(call.excep.bstrDescription ? call.excep.bstrDescription : L"")
                      .find(L"showcalc"),
                  std::wstring::npos);
        EXPECT_EQ(std::wstring(call.excep.bstrSource ? call.excep.bstrSource : L""),
                  L"z5calcD.zelcalc");
    }
    EXPECT_EQ(m, 7);
    EXPECT_EQ(ws.Wleft, 2);
}

// Where the component keeps its settings for this user (it is not on a removable drive here).
std::wstring settings_folder_of_this_user() {
    wchar_t app_data[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, app_data, CSIDL_APPDATA, FALSE);
    return std::wstring(app_data) + L"\\qorvan\\";
}

TEST_F(ComponentTest, OverflowReachesTheHostAsAnOverflow) {
    ComPtr<_zelcalc> calc = create();
    ASSERT_TRUE(calc);
    std::wstring host = settings_folder_of_this_user() + L"overflowhost.ini";
    UniqueBstr name(L"latehost");
    ASSERT_EQ(calc->SetAppName(name.get()), S_OK);  // the start-up has made the folder
    write_bytes(host, "[Setup]\r\nTaxMode=99999\r\n");
    UniqueBstr overflow(L"overflowhost");
    EXPECT_EQ(calc->SetAppName(overflow.get()), kOverflowError);
    // Still error 6, now saying what overflowed and where.
    const std::wstring described =
        L"Overflow: TaxMode=99999 in [Setup] of " + host + L" is beyond a 16-bit whole number";
    EXPECT_EQ(error_description(), described);

    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(calc->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
    Call call({bstr_arg(L"overflowhost")});
    EXPECT_EQ(call.invoke(dispatch.get(), 0x60030000), DISP_E_EXCEPTION);
    EXPECT_EQ(call.excep.scode, kOverflowError);
    EXPECT_EQ(std::wstring(call.excep.bstrDescription ? call.excep.bstrDescription : L""),
              described);
    write_bytes(host, "[Setup]\r\nTax=99999999999\r\n");
    EXPECT_EQ(calc->SetAppName(overflow.get()), kOverflowError);
    EXPECT_EQ(error_description(), L"Overflow: Tax=99999999999 in [Setup] of " + host +
                                       L" is beyond a 32-bit whole number");
    DeleteFileW(host.c_str());
    // A successful call clears the stale error.
    EXPECT_EQ(calc->SetAppName(name.get()), S_OK);
}

TEST_F(ComponentTest, SettingsMethodsWriteTheComponentFile) {
    ComPtr<_zelcalc> calc = create();
    ASSERT_TRUE(calc);
    std::wstring folder = settings_folder_of_this_user();
    write_bytes(folder + L"comhost.ini", "[Setup]\r\nTax=80\r\nTaxMode=1\r\n");
    UniqueBstr name(L"comhost");
    ASSERT_EQ(calc->SetAppName(name.get()), S_OK);
    UniqueBstr help(L"C:\\manuals\\com.chm");
    ASSERT_EQ(calc->SetHelpFile(help.get(), 10400), S_OK);
    std::string own = read_bytes(folder + L"z5calc.ini");
    EXPECT_NE(own.find("AppPath=comhost"), std::string::npos);
    EXPECT_NE(own.find("Tax=80"), std::string::npos);
    EXPECT_NE(own.find("TaxMode=1"), std::string::npos);
    EXPECT_NE(own.find("HelpFile=C:\\manuals\\com.chm"), std::string::npos);
    EXPECT_NE(own.find("HelpID=10400"), std::string::npos);
    DeleteFileW((folder + L"comhost.ini").c_str());
}

}  // namespace
}  // namespace z5calc
