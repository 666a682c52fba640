#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cctype>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "error_info.h"
#include "handles.h"
#include "pe_image.h"
#include "system_dlls.h"
#include "component_fixture.h"
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

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TEST_F(ComponentTest, ImportsOnlySystemDlls) {
    std::vector<std::string> imports = imported_dlls(dll->get());
    ASSERT_FALSE(imports.empty());
    for (const std::string& name : imports) {
        EXPECT_NE(std::find(std::begin(kSystemDlls), std::end(kSystemDlls), lower(name)),
                  std::end(kSystemDlls))
            << name;
    }
}

TEST_F(ComponentTest, ExportsExactlyTheFourEntryPointsByName) {
    std::vector<std::string> names = exported_names(dll->get());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject",
                                               "DllRegisterServer", "DllUnregisterServer"}));
    EXPECT_EQ(unnamed_export_count(dll->get()), 0u);
}

// The type library, _zelcalc's IID and the version, in the DLL at path loaded as module.
void expect_resources(HMODULE module, const std::wstring& path) {
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr);
    HRSRC iid = FindResourceW(module, L"_IID_ZELCALC", L"CUSTOM");
    ASSERT_NE(iid, nullptr);
    ASSERT_EQ(SizeofResource(module, iid), 20u);
    auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, iid)));
    DWORD length = 0;
    memcpy(&length, bytes, 4);
    EXPECT_EQ(length, 16u);
    IID stored;
    memcpy(&stored, bytes + 4, 16);
    EXPECT_TRUE(IsEqualIID(stored, IID__zelcalc));

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

TEST_F(ComponentTest, ResourcesCarryTypeLibraryIidAndVersion) {
    expect_resources(dll->get(), dll_path());
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
    for (auto [iid, name] : {std::pair{&IID__zelcalc, L"_zelcalc"},
                             {&IID__zelcalc2, L"_zelcalc2"},
                             {&IID__zelcalc3, L"_zelcalc3"}}) {
        const std::wstring iface = L"Interface\\" + guid_text(*iid);
        EXPECT_EQ(reg_text(root, iface), name);
        EXPECT_EQ(reg_text(root, iface + L"\\ProxyStubClsid32"),
                  L"{00020424-0000-0000-C000-000000000046}");
        EXPECT_EQ(reg_text(root, iface + L"\\TypeLib"), libid);
        EXPECT_EQ(reg_text(root, iface + L"\\TypeLib", L"Version"), L"1.0");
    }

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
    EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, L"Interface\\" + guid_text(IID__zelcalc2)));
    EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, L"Interface\\" + guid_text(IID__zelcalc3)));
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
    const std::wstring iface2 = user + L"Interface\\" + guid_text(IID__zelcalc2);
    EXPECT_EQ(reg_text(HKEY_CURRENT_USER, iface2), L"_zelcalc2");

    ASSERT_EQ(run_program(quoted + L"/u \"" + dll_path() + L"\""), 0);
    EXPECT_FALSE(reg_key_exists(HKEY_CURRENT_USER, iface2));
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

// Everything a host's object browser and binder read of the type library at path, made for
// platform. The reading process gives vtable offsets in its own pointer size, whatever the
// library's: the order is what is compared.
void expect_type_library(const std::wstring& path, SYSKIND platform) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()), S_OK) << narrow(path);
    TLIBATTR* lib = nullptr;
    ASSERT_EQ(library->GetLibAttr(&lib), S_OK);
    EXPECT_TRUE(IsEqualGUID(lib->guid, LIBID_z5calcD));
    EXPECT_EQ(lib->wMajorVerNum, 1);
    EXPECT_EQ(lib->wMinorVerNum, 0);
    EXPECT_EQ(lib->lcid, 0u);
    EXPECT_EQ(lib->syskind, platform);
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

    // Each later interface extends the one before: its own members follow the base's in the
    // vtable.
    struct Member {
        MEMBERID id;
        INVOKEKIND kind;
        VARTYPE type;  // of the one parameter; VT_EMPTY for none
    };
    const Member second[] = {
        {0x60040000, INVOKE_PROPERTYGET, VT_I4},   {0x60040000, INVOKE_PROPERTYPUT, VT_I4},
        {0x60040001, INVOKE_PROPERTYGET, VT_R8},   {0x60040002, INVOKE_PROPERTYGET, VT_R8},
        {0x60040003, INVOKE_PROPERTYGET, VT_BSTR}, {0x60040004, INVOKE_FUNC, VT_EMPTY}};
    const Member third[] = {
        {0x60050000, INVOKE_PROPERTYGET, VT_R8}, {0x60050001, INVOKE_FUNC, VT_EMPTY},
        {0x60050002, INVOKE_PROPERTYGET, VT_I4}, {0x60050002, INVOKE_PROPERTYPUT, VT_I4},
        {0x60050003, INVOKE_PROPERTYGET, VT_I4}, {0x60050003, INVOKE_PROPERTYPUT, VT_I4}};
    const struct {
        const GUID* iid;
        const GUID* base;
        std::span<const Member> members;
        UINT firstSlot;
    } extensions[] = {{&IID__zelcalc2, &IID__zelcalc, second, 10},
                      {&IID__zelcalc3, &IID__zelcalc2, third, 16}};
    for (const auto& e : extensions) {
        ComPtr<ITypeInfo> dispatch2, info2, base;
        ASSERT_EQ(library->GetTypeInfoOfGuid(*e.iid, dispatch2.put()), S_OK);
        ASSERT_EQ(dispatch2->GetRefTypeOfImplType(-1, &ref), S_OK);
        ASSERT_EQ(dispatch2->GetRefTypeInfo(ref, info2.put()), S_OK);
        ASSERT_EQ(info2->GetTypeAttr(&attr), S_OK);
        EXPECT_EQ(attr->wTypeFlags & flags, flags);
        EXPECT_EQ(attr->cFuncs, e.members.size());
        info2->ReleaseTypeAttr(attr);
        ASSERT_EQ(info2->GetRefTypeOfImplType(0, &ref), S_OK);
        ASSERT_EQ(info2->GetRefTypeInfo(ref, base.put()), S_OK);
        ASSERT_EQ(base->GetTypeAttr(&attr), S_OK);
        EXPECT_TRUE(IsEqualGUID(attr->guid, *e.base));
        base->ReleaseTypeAttr(attr);
        for (UINT i = 0; i < e.members.size(); ++i) {
            const Member& m = e.members[i];
            FUNCDESC* func = nullptr;
            ASSERT_EQ(info2->GetFuncDesc(i, &func), S_OK);
            EXPECT_EQ(func->memid, m.id) << i;
            EXPECT_EQ(func->invkind, m.kind) << i;
            EXPECT_EQ(func->oVft, static_cast<SHORT>((e.firstSlot + i) * sizeof(void*))) << i;
            ASSERT_EQ(func->cParams, m.type == VT_EMPTY ? 0 : 1) << i;
            if (func->cParams == 1) {
                const TYPEDESC& type = func->lprgelemdescParam[0].tdesc;
                EXPECT_EQ(type.vt == VT_PTR ? type.lptdesc->vt : type.vt, m.type) << i;
            }
            info2->ReleaseFuncDesc(func);
        }
    }

    // The class lists all three; _zelcalc stays its default.
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(library->GetTypeInfoOfGuid(CLSID_zelcalc, coclass.put()), S_OK);
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
    EXPECT_EQ(attr->cImplTypes, 3);
    coclass->ReleaseTypeAttr(attr);
    const GUID* listed[] = {&IID__zelcalc, &IID__zelcalc2, &IID__zelcalc3};
    for (UINT i = 0; i < 3; ++i) {
        INT impl_flags = 0;
        ComPtr<ITypeInfo> listed_info;
        ASSERT_EQ(coclass->GetImplTypeFlags(i, &impl_flags), S_OK);
        EXPECT_EQ(impl_flags & IMPLTYPEFLAG_FDEFAULT, i == 0 ? IMPLTYPEFLAG_FDEFAULT : 0);
        ASSERT_EQ(coclass->GetRefTypeOfImplType(i, &ref), S_OK);
        ASSERT_EQ(coclass->GetRefTypeInfo(ref, listed_info.put()), S_OK);
        ASSERT_EQ(listed_info->GetTypeAttr(&attr), S_OK);
        EXPECT_TRUE(IsEqualGUID(attr->guid, *listed[i])) << i;
        listed_info->ReleaseTypeAttr(attr);
    }
}

constexpr SYSKIND kOwnPlatform = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

TEST_F(ComponentTest, TypeLibraryReadBackFromTheDll) {
    expect_type_library(dll_path(), kOwnPlatform);
}

TEST_F(ComponentTest, TypeLibraryReadBackFromTheShippedFile) {
    expect_type_library(unix_to_wine_path(Z5CALC_TLB), kOwnPlatform);
}

#ifdef _WIN64
inline void free_module(HMODULE module) noexcept {
    FreeLibrary(module);
}
using UniqueModule = UniqueHandle<HMODULE, &free_module>;

// The names of module's resources of type, ids as "#N".
std::vector<std::wstring> resource_names(HMODULE module, const wchar_t* type) {
    std::vector<std::wstring> names;
    EnumResourceNamesW(
        module, type,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) -> BOOL {
            reinterpret_cast<std::vector<std::wstring>*>(list)->push_back(
                IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(name))
                                     : std::wstring(name));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&names));
    std::sort(names.begin(), names.end());
    return names;
}

// The 32-bit DLL read as data, as on a machine that runs no 32-bit code: a 32-bit host binds to
// the same library (made for SYS_WIN32) and finds the same resources and art.
TEST_F(ComponentTest, ThirtyTwoBitDllCarriesTheSameLibraryAndResources) {
    const std::wstring dll32 = unix_to_wine_path(DLL32);
    expect_type_library(dll32, SYS_WIN32);
    const UniqueModule data(LoadLibraryExW(
        dll32.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(data) << narrow(dll32);
    expect_resources(data.get(), dll32);
    const wchar_t* const art_types[] = {RT_BITMAP, RT_GROUP_ICON, L"PNG", L"RGN"};
    for (const wchar_t* type : art_types) {
        const std::vector<std::wstring> art = resource_names(data.get(), type);
        EXPECT_FALSE(art.empty());
        EXPECT_EQ(art, resource_names(dll->get(), type));
    }
}
#endif

}  // namespace
}  // namespace z5calc
