// The class called as hosts call it: early bound through the vtable, late bound through
// IDispatch with every coercion a script makes, and the errors they get back.
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
#include "component_fixture.h"
#include "test_files.h"
#include "z5calcD_h.h"
#include "zelcalc.h"

namespace z5calc {
namespace {

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
                          Case{L"SETHELPFILE", 0x60030001}, Case{L"ShowCalc", 0x60030002},
                          Case{L"taxratekind", 0x60040000}, Case{L"TaxRate", 0x60040001},
                          Case{L"ReducedTaxRate", 0x60040002}}) {
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

// The second interface: one object behind _zelcalc, _zelcalc2 and IDispatch; the rates as the
// next call reads them, and the rate kind it opens with, early and late bound.
TEST_F(ComponentTest, TaxRatePropertiesEarlyAndLateBound) {
    ComPtr<_zelcalc> calc = create();
    ASSERT_TRUE(calc);
    ComPtr<_zelcalc2> calc2;
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(calc->QueryInterface(IID__zelcalc2, calc2.put_void()), S_OK);
    ASSERT_EQ(calc->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
    EXPECT_EQ(static_cast<void*>(calc2.get()), static_cast<void*>(dispatch.get()));
    ComPtr<ISupportErrorInfo> errors;
    ASSERT_EQ(calc->QueryInterface(IID_ISupportErrorInfo, errors.put_void()), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID__zelcalc2), S_OK);

    const std::wstring host = settings_folder_of_this_user() + L"ratehost.ini";
    UniqueBstr name(L"ratehost");
    ASSERT_EQ(calc->SetAppName(name.get()), S_OK);
    auto late_get = [&](DISPID id, WORD flags = DISPATCH_PROPERTYGET) {
        Call call({});
        EXPECT_EQ(call.invoke(dispatch.get(), id, flags), S_OK) << std::hex << id;
        VARIANT value;
        VariantInit(&value);
        VariantCopy(&value, &call.result);
        return value;
    };
    struct Rates {
        const char* file;
        double standard, reduced;
    };
    // Read again at every question, as every call reads them; missing keys take 10 % and 8 %.
    for (const Rates& r : {Rates{"[Setup]\r\nTax=100\r\nReducedTax=80\r\n", 0.1, 0.08},
                           Rates{"[Setup]\r\nTax=100\r\nReducedTax=65\r\n", 0.1, 0.065},
                           Rates{"[Setup]\r\n", 0.1, 0.08}}) {
        write_bytes(host, r.file);
        double standard = 0, reduced = 0;
        EXPECT_EQ(calc2->get_TaxRate(&standard), S_OK);
        EXPECT_EQ(calc2->get_ReducedTaxRate(&reduced), S_OK);
        EXPECT_DOUBLE_EQ(standard, r.standard) << r.file;
        EXPECT_DOUBLE_EQ(reduced, r.reduced) << r.file;
        VARIANT late = late_get(0x60040002, DISPATCH_PROPERTYGET | DISPATCH_METHOD);
        EXPECT_EQ(late.vt, VT_R8);
        EXPECT_DOUBLE_EQ(late.dblVal, r.reduced);
    }
    DeleteFileW(host.c_str());

    LONG kind = -1;
    EXPECT_EQ(calc2->get_TaxRateKind(&kind), S_OK);
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(calc2->put_TaxRateKind(1), S_OK);
    EXPECT_EQ(late_get(0x60040000).lVal, 1);
    EXPECT_EQ(calc2->put_TaxRateKind(2), E_INVALIDARG);
    EXPECT_EQ(error_description(),
              L"TaxRateKind must be 0 (the standard rate) or 1 (the reduced rate)");
    EXPECT_EQ(calc2->get_TaxRate(nullptr), E_POINTER);

    auto late_put = [&](VARIANT value, DISPID id = 0x60040000) {
        Call call({value});
        DISPID named = DISPID_PROPERTYPUT;
        call.params_.rgdispidNamedArgs = &named;
        call.params_.cNamedArgs = 1;
        const HRESULT hr = call.invoke(dispatch.get(), id, DISPATCH_PROPERTYPUT);
        return std::pair{hr, hr == DISP_E_EXCEPTION ? call.excep.scode : S_OK};
    };
    EXPECT_EQ(late_put(bstr_arg(L"0")), std::pair(S_OK, S_OK));  // converted as VB does
    EXPECT_EQ(calc2->get_TaxRateKind(&kind), S_OK);
    EXPECT_EQ(kind, 0);
    for (VARIANT bad :
         {i4_arg(2), i4_arg(-1), r8_arg(0.5), r8_arg(std::nan("")), r8_arg(4294967297.0)})
        EXPECT_EQ(late_put(bad), std::pair(DISP_E_EXCEPTION, E_INVALIDARG)) << bad.dblVal;
    EXPECT_EQ(late_put(bstr_arg(L"reduced")).first, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(late_put(r8_arg(0.2), 0x60040001).first, DISP_E_MEMBERNOTFOUND);  // read-only
    {
        Call unnamed({i4_arg(1)});  // a new value that is not the one named DISPID_PROPERTYPUT
        EXPECT_EQ(unnamed.invoke(dispatch.get(), 0x60040000, DISPATCH_PROPERTYPUT),
                  DISP_E_PARAMNOTOPTIONAL);
        Call extra({i4_arg(1)});
        EXPECT_EQ(extra.invoke(dispatch.get(), 0x60040001, DISPATCH_PROPERTYGET),
                  DISP_E_BADPARAMCOUNT);
    }
    EXPECT_EQ(calc2->get_TaxRateKind(&kind), S_OK);
    EXPECT_EQ(kind, 0);  // nothing refused changed it
}

// _zelcalc3's Decimals and Rounding: the settings file's until the host sets them; a value out of
// range, a fraction or one that is no number is E_INVALIDARG with the values named, and the value
// set before stays.
TEST_F(ComponentTest, DecimalsAndRoundingTakeOnlyTheirValues) {
    ComPtr<_zelcalc> calc = create();
    ASSERT_TRUE(calc);
    ComPtr<_zelcalc3> calc3;
    ComPtr<IDispatch> dispatch;  // the newest interface
    ASSERT_EQ(calc->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
    ASSERT_EQ(dispatch->QueryInterface(IID__zelcalc3, calc3.put_void()), S_OK);
    ComPtr<ITypeInfo> info;
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(dispatch->GetTypeInfo(0, 0, info.put()), S_OK);
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, IID__zelcalc3));  // what late binding names come from
    info->ReleaseTypeAttr(attr);
    const std::wstring host = settings_folder_of_this_user() + L"roundhost.ini";
    UniqueBstr name(L"roundhost");
    ASSERT_EQ(calc->SetAppName(name.get()), S_OK);
    write_bytes(host, "[Setup]\r\nDecimals=3\r\nRounding=0\r\n");
    LONG decimals = 9, rule = 9;
    EXPECT_EQ(calc3->get_Decimals(&decimals), S_OK);
    EXPECT_EQ(calc3->get_Rounding(&rule), S_OK);
    EXPECT_EQ(std::pair(decimals, rule), std::pair(3L, 0L));

    auto late_put = [&](DISPID id, VARIANT value) {
        Call call({value});
        DISPID named = DISPID_PROPERTYPUT;
        call.params_.rgdispidNamedArgs = &named;
        call.params_.cNamedArgs = 1;
        const HRESULT hr = call.invoke(dispatch.get(), id, DISPATCH_PROPERTYPUT);
        return std::pair{
            hr == DISP_E_EXCEPTION ? call.excep.scode : hr,
            std::wstring(call.excep.bstrDescription ? call.excep.bstrDescription : L"")};
    };
    auto late_get = [&](DISPID id) {
        Call call({});
        EXPECT_EQ(call.invoke(dispatch.get(), id, DISPATCH_PROPERTYGET), S_OK);
        EXPECT_EQ(call.result.vt, VT_I4);
        return call.result.lVal;
    };
    VARIANT null = {};
    null.vt = VT_NULL;
    const struct {
        DISPID id;
        VARIANT value;
        HRESULT hr;
        LONG after;
    } rows[] = {
        {0x60050002, bstr_arg(L"2"), S_OK, 2},  // converted as VB does
        {0x60050002, i4_arg(5), E_INVALIDARG, 2},
        {0x60050002, i4_arg(-2), E_INVALIDARG, 2},
        {0x60050002, null, E_INVALIDARG, 2},
        {0x60050002, r8_arg(1.5), E_INVALIDARG, 2},
        {0x60050002, bstr_arg(L"two"), E_INVALIDARG, 2},
        {0x60050002, i4_arg(-1), S_OK, -1},
        {0x60050003, i4_arg(1), S_OK, 1},
        {0x60050003, i4_arg(3), E_INVALIDARG, 1},
        {0x60050003, null, E_INVALIDARG, 1},
        {0x60050003, r8_arg(4294967298.0), E_INVALIDARG, 1},
    };
    for (const auto& row : rows) {
        const auto [hr, description] = late_put(row.id, row.value);
        EXPECT_EQ(hr, row.hr) << std::hex << row.id << " " << row.value.vt;
        EXPECT_EQ(description.find(L"must be") != std::wstring::npos, FAILED(row.hr));
        EXPECT_EQ(late_get(row.id), row.after) << std::hex << row.id << " " << row.value.vt;
    }
    EXPECT_EQ(calc3->put_Decimals(4), S_OK);
    EXPECT_EQ(calc3->put_Rounding(-1), E_INVALIDARG);
    EXPECT_EQ(error_description(),
              L"Rounding must be 0 (toward zero), 1 (away from zero) or 2 (half away from zero)");
    EXPECT_EQ(calc3->get_Decimals(nullptr), E_POINTER);
    // Set by the host, they no longer follow the file.
    write_bytes(host, "[Setup]\r\nDecimals=0\r\n");
    EXPECT_EQ(std::pair(late_get(0x60050002), late_get(0x60050003)), std::pair(4L, 1L));
    DeleteFileW(host.c_str());

    double total = 7;
    EXPECT_EQ(calc3->get_GrandTotal(&total), S_OK);
    EXPECT_EQ(total, 0);
    EXPECT_EQ(calc3->ClearGrandTotal(), S_OK);
}

}  // namespace
}  // namespace z5calc
