// The field rectangle of a late-bound showcalc in every form a host language can give it:
// records, arrays of numbers or of variants (by value and by reference), objects with the
// record's properties or with members 0 to 3, and nothing at all.
#include <windows.h>
#include <objbase.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc_script.h"
#include "gui_support.h"
#include "handles.h"
#include "probe_support.h"
#include "test_files.h"
#include "z5calcD_h.h"
#include "zelcalc.h"

namespace z5calc {
namespace {

// The field used throughout: (100, 200) pixels, 100 wide and 20 high, in screen twips.
constexpr double kField[4] = {3000, 1500, 1500, 300};

// A host's object with named members, as a script's object or array looks through IDispatch.
class HostObject final : public IDispatch {
  public:
    HostObject(std::vector<std::wstring> names, std::vector<double> values)
        : names_(std::move(names)), values_(std::move(values)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        for (UINT n = 0; n < count; ++n) {
            ids[n] = DISPID_UNKNOWN;
            for (std::size_t i = 0; i < names_.size(); ++i)
                if (names_[i] == names[n]) ids[n] = static_cast<DISPID>(i + 1);
            if (ids[n] == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (!(flags & DISPATCH_PROPERTYGET) || id < 1 || id > static_cast<DISPID>(values_.size()))
            return DISP_E_MEMBERNOTFOUND;
        result->vt = VT_R8;
        result->dblVal = values_[static_cast<std::size_t>(id - 1)];
        return S_OK;
    }

  private:
    std::vector<std::wstring> names_;
    std::vector<double> values_;
};

// A one-dimensional SAFEARRAY of `type` holding the values (as VARIANTs: each converted).
SAFEARRAY* array_of(VARTYPE type, const std::vector<double>& values, LONG lower = 0) {
    SAFEARRAYBOUND bound = {static_cast<ULONG>(values.size()), lower};
    SAFEARRAY* array = SafeArrayCreate(type, 1, &bound);
    for (std::size_t i = 0; i < values.size(); ++i) {
        LONG at = lower + static_cast<LONG>(i);
        VARIANT v;
        v.vt = VT_R8;
        v.dblVal = values[i];
        if (type == VT_VARIANT) {
            SafeArrayPutElement(array, &at, &v);
        } else {
            VARIANT typed;
            VariantInit(&typed);
            VariantChangeType(&typed, &v, 0, type);
            SafeArrayPutElement(array, &at, &typed.llVal);
        }
    }
    return array;
}

const std::vector<double> kFieldValues(kField, kField + 4);

class FieldFormsTest : public ComponentCallTest {
  protected:
    void SetUp() override {
        ComponentCallTest::SetUp();
        ASSERT_EQ(calc->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
    }

    // Calls showcalc late bound with ws as given; the user types 6*7 and Enter. The window's
    // place is kept in `placed`.
    HRESULT call(VARIANT ws, double& result, RECT& placed, EXCEPINFO* excep = nullptr) {
        Script script;
        script.then([&] { GetWindowRect(calc_window(), &placed); }).type(L"6*7\r");
        script.start();
        double m = 5, mmax = 0;
        VARIANT args[3];  // last argument first
        args[2].vt = VT_R8 | VT_BYREF;
        args[2].pdblVal = &m;
        args[1] = ws;
        args[0].vt = VT_R8 | VT_BYREF;
        args[0].pdblVal = &mmax;
        DISPPARAMS params = {args, nullptr, 3, 0};
        VARIANT out;
        VariantInit(&out);
        argErr = 99;
        const HRESULT hr = dispatch->Invoke(0x60030002, IID_NULL, 0, DISPATCH_METHOD, &params, &out,
                                            excep, &argErr);
        result = out.vt == VT_R8 ? out.dblVal : std::nan("");
        return hr;
    }

    ComPtr<IDispatch> dispatch;
    UINT argErr = 99;
};

struct Form {
    const char* name;
    std::function<VARIANT()> make;
    HRESULT refusal = DISP_E_TYPEMISMATCH;  // for a form that is refused
};

// A variant of the type with every value bit zero (a null array, a null object).
VARIANT variant_of(VARTYPE type) {
    VARIANT v = {};
    v.vt = type;
    return v;
}

VARIANT array_variant(VARTYPE type, const std::vector<double>& values, LONG lower = 0) {
    VARIANT v = variant_of(VT_ARRAY | type);
    v.parray = array_of(type, values, lower);
    return v;
}

VARIANT object_variant(IDispatch* object) {
    VARIANT v = variant_of(VT_DISPATCH);
    v.pdispVal = object;
    return v;
}

// The field's four numbers as variants, one of them replaced by a text.
VARIANT field_with_text(LONG at, BSTR text) {
    VARIANT v = array_variant(VT_VARIANT, kFieldValues);
    VARIANT element = variant_of(VT_BSTR);
    element.bstrVal = text;
    SafeArrayPutElement(v.parray, &at, &element);
    VariantClear(&element);
    return v;
}

TEST_F(FieldFormsTest, EveryFormOfTheFieldPlacesTheCalculatorBesideIt) {
    SAFEARRAY* byRefArray = array_of(VT_I4, kFieldValues);
    VARIANT inner = array_variant(VT_VARIANT, kFieldValues);
    HostObject properties({L"Wtop", L"Wleft", L"Wwidth", L"Wheight"}, kFieldValues);
    HostObject members({L"length", L"0", L"1", L"2", L"3"}, {4, 3000, 1500, 1500, 300});
    const Form forms[] = {
        {"array of doubles", [] { return array_variant(VT_R8, kFieldValues); }},
        {"array of floats", [] { return array_variant(VT_R4, kFieldValues); }},
        {"array of shorts", [] { return array_variant(VT_I2, kFieldValues); }},
        {"array of variants from 1", [] { return array_variant(VT_VARIANT, kFieldValues, 1); }},
        {"array by reference",
         [&] {
             VARIANT v = variant_of(VT_ARRAY | VT_I4 | VT_BYREF);
             v.pparray = &byRefArray;
             return v;
         }},
        {"variant by reference",
         [&] {
             VARIANT v = variant_of(VT_VARIANT | VT_BYREF);
             v.pvarVal = &inner;
             return v;
         }},
        {"object with properties", [&] { return object_variant(&properties); }},
        {"object with members 0 to 3", [&] { return object_variant(&members); }},
    };
    for (const Form& form : forms) {
        double result = 0;
        RECT placed = {};
        VARIANT ws = form.make();
        EXPECT_EQ(call(ws, result, placed), S_OK) << form.name;
        EXPECT_EQ(result, 42) << form.name;
        EXPECT_EQ(placed.left, 100) << form.name;  // beside the field, level with it
        EXPECT_NEAR((placed.top + placed.bottom) / 2.0, 210, 1) << form.name;
        if (!(ws.vt & VT_BYREF) && ws.vt != VT_DISPATCH) VariantClear(&ws);
    }
    SafeArrayDestroy(byRefArray);
    VariantClear(&inner);
}

TEST_F(FieldFormsTest, NoFieldOpensTheCalculatorBesideThePointer) {
    const Form forms[] = {
        {"missing",
         [] {
             VARIANT v = variant_of(VT_ERROR);
             v.scode = DISP_E_PARAMNOTFOUND;
             return v;
         }},
        {"Empty", [] { return variant_of(VT_EMPTY); }},
        {"Null", [] { return variant_of(VT_NULL); }},
        {"Nothing", [] { return object_variant(nullptr); }},
    };
    for (const Form& form : forms) {
        ASSERT_TRUE(put_pointer(300, 400));
        double result = 0;
        RECT placed = {};
        EXPECT_EQ(call(form.make(), result, placed), S_OK) << form.name;
        EXPECT_EQ(result, 42) << form.name;
        EXPECT_EQ(placed.left, 300) << form.name;
        EXPECT_NEAR((placed.top + placed.bottom) / 2.0, 400, 1) << form.name;
    }
}

TEST_F(FieldFormsTest, OtherFormsAreRefusedWithTheAcceptedFormsNamed) {
    HostObject nothingUseful({L"Top", L"Left"}, {1, 2});
    HostObject notANumber({L"Wtop", L"Wleft", L"Wwidth", L"Wheight"}, {1, 2, 3, std::nan("")});
    const Form forms[] = {
        {"a number",
         [] {
             VARIANT v = variant_of(VT_I4);
             v.lVal = 3000;
             return v;
         }},
        {"a text",
         [] {
             VARIANT v = variant_of(VT_BSTR);
             v.bstrVal = SysAllocString(L"3000,1500");
             return v;
         }},
        {"three numbers",
         [] {
             return array_variant(VT_R8, {1, 2, 3});
         }},
        {"five numbers",
         [] {
             return array_variant(VT_R8, {1, 2, 3, 4, 5});
         }},
        {"two dimensions",
         [] {
             SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
             VARIANT v = variant_of(VT_ARRAY | VT_R8);
             v.parray = SafeArrayCreate(VT_R8, 2, bounds);
             return v;
         }},
        {"texts",
         [] {
             SAFEARRAYBOUND bound = {4, 0};
             VARIANT v = variant_of(VT_ARRAY | VT_BSTR);
             v.parray = SafeArrayCreate(VT_BSTR, 1, &bound);
             return v;
         }},
        {"a word among the numbers", [] { return field_with_text(2, SysAllocString(L"wide")); }},
        {"beyond a coordinate",
         [] {
             return array_variant(VT_R8, {1, 2, 1e300, 4});
         }},
        {"100,000 numbers", [] { return array_variant(VT_R8, std::vector<double>(100000, 1500)); }},
        {"a 100,000-character text among the numbers",
         [] {
             BSTR digits = SysAllocStringLen(nullptr, 100000);
             for (UINT i = 0; i < 100000; ++i) digits[i] = L'9';
             return field_with_text(0, digits);
         }},
        {"null array", [] { return variant_of(VT_ARRAY | VT_R8); }},
        {"object without the members", [&] { return object_variant(&nothingUseful); }},
        {"object with no number", [&] { return object_variant(&notANumber); }},
        // Refused before its pointer is read: 0x7FFF claims an array by reference.
        {"no VARIANT type",
         [] {
             VARIANT v = variant_of(0x7FFF);
             v.byref = reinterpret_cast<void*>(16);  // an address that cannot be read
             return v;
         },
         DISP_E_BADVARTYPE},
        {"a vector",
         [] {
             VARIANT v = array_variant(VT_R8, {1, 2, 3, 4});
             v.vt |= VT_VECTOR;
             return v;
         },
         DISP_E_BADVARTYPE},
        {"an object by reference to nothing", [] { return variant_of(VT_DISPATCH | VT_BYREF); }},
    };
    for (const Form& form : forms) {
        for (bool withExcep : {true, false}) {
            EXCEPINFO excep = {};
            double result = 0;
            RECT placed = {};
            VARIANT ws = form.make();
            const HRESULT hr = call(ws, result, placed, withExcep ? &excep : nullptr);
            ws.vt &= ~VT_VECTOR;
            if (ws.vt != VT_DISPATCH && ws.vt != 0x7FFF) VariantClear(&ws);
            EXPECT_EQ(own_calc_window(), nullptr) << form.name;
            EXPECT_EQ(argErr, 1u) << form.name;
            if (!withExcep) {
                EXPECT_EQ(hr, form.refusal) << form.name;
                continue;
            }
            EXPECT_EQ(hr, DISP_E_EXCEPTION) << form.name;
            EXPECT_EQ(excep.scode, form.refusal) << form.name;
            const std::wstring description = excep.bstrDescription ? excep.bstrDescription : L"";
            EXPECT_EQ(description.rfind(L"showcalc: the field rectangle ws must be a windowstay "
                                        L"record, an array of four numbers",
                                        0),
                      0u)
                << form.name << ": " << narrow(description);
            SysFreeString(excep.bstrDescription);
            SysFreeString(excep.bstrSource);
            SysFreeString(excep.bstrHelpFile);
        }
    }
}

}  // namespace
}  // namespace z5calc
