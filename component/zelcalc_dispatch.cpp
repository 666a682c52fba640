#include <cmath>
#include <optional>

#include "error_info.h"
#include "field_argument.h"
#include "zelcalc.h"

// Late binding: Invoke reads its arguments in any form a VB or script host gives them and
// calls the member the DISPID names, as one row of a table says.
namespace z5calc {
namespace {

// A refused argument: the DISP_E_* code, the argument's place in rgvarg and, for a host that
// takes exception information, what the argument had to be.
struct ArgumentError {
    HRESULT hr;
    UINT index;
    std::wstring description = {};
};

constexpr UINT kNoArgument = ~0u;

void expect_count(const DISPPARAMS& params, UINT count) {
    if (params.cArgs != count) throw ArgumentError{DISP_E_BADPARAMCOUNT, kNoArgument};
}

class Arguments {
  public:
    explicit Arguments(DISPPARAMS& params) : params_(params) {}

    // The argument at a position in declaration order (rgvarg holds them last first).
    VARIANT& at(UINT position) { return params_.rgvarg[index_of(position)]; }
    UINT index_of(UINT position) const { return params_.cArgs - 1 - position; }

    double number(UINT position) {
        UniqueVariant v;
        convert(position, VT_R8, v);
        return v->dblVal;
    }

    UniqueBstr bstr(UINT position) {
        UniqueVariant v;
        convert(position, VT_BSTR, v);
        UniqueBstr text;
        *text.put() = v->bstrVal;  // the string changes hands; the variant no longer owns it
        v->vt = VT_EMPTY;
        return text;
    }

    // A whole number within 32 bits; a fraction, NaN or infinity is refused with `what` named,
    // rather than rounded or saturated.
    LONG whole_int32(UINT position, const wchar_t* what) {
        UniqueVariant v;
        convert(position, VT_R8, v);
        const double x = v->dblVal;
        if (!std::isfinite(x) || std::trunc(x) != x || x < -2147483648.0 || x > 2147483647.0) {
            throw ArgumentError{
                std::isfinite(x) && std::trunc(x) == x ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH,
                index_of(position),
                std::wstring(what) + L" must be a whole number from -2147483648 to 2147483647"};
        }
        return static_cast<LONG>(x);
    }

    // A whole number within 32 bits in any form that converts to one; none for anything else
    // (Null, a fraction, text that is no number), which the setter then refuses by name.
    std::optional<LONG> whole(UINT position) {
        UniqueVariant v;
        if (FAILED(VariantChangeType(v.get(), &deref(position), 0, VT_R8))) return std::nullopt;
        const double x = v->dblVal;
        if (!std::isfinite(x) || std::trunc(x) != x || x < -2147483648.0 || x > 2147483647.0)
            return std::nullopt;
        return static_cast<LONG>(x);
    }

    double* double_ref(UINT position, double& copy) {
        VARIANT& v = deref(position);
        if (v.vt == (VT_R8 | VT_BYREF) && v.pdblVal) return v.pdblVal;
        if (v.vt == VT_R8) return &v.dblVal;
        UniqueVariant converted;
        convert(position, VT_R8, converted);
        copy = converted->dblVal;
        return &copy;
    }

    // The field rectangle, in any form a host language can give it; null for none.
    const windowstay* field(UINT position, windowstay& copy) {
        try {
            return read_field(at(position), copy) ? &copy : nullptr;
        } catch (FieldRefused& refused) {
            throw ArgumentError{refused.error, index_of(position), std::move(refused.description)};
        }
    }

  private:
    VARIANT& deref(UINT position) {
        VARIANT* v = &at(position);
        if (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
        if (v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND) {
            throw ArgumentError{DISP_E_PARAMNOTOPTIONAL, index_of(position)};
        }
        return *v;
    }

    // Converts as VB and script hosts do ("12" to a number, 5 to "5"); a value that does not
    // convert is a type mismatch, one too large an overflow.
    void convert(UINT position, VARTYPE type, UniqueVariant& out) {
        VARIANT& source = deref(position);
        HRESULT hr = VariantChangeType(out.get(), &source, 0, type);
        if (FAILED(hr)) {
            throw ArgumentError{hr == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH,
                                index_of(position)};
        }
    }

    DISPPARAMS& params_;
};

// One member for late binding: a method, or a property that is read and, if `put`, set. `args`
// is how many arguments the method or the getter takes; a setter takes one.
struct Member {
    DISPID id;
    bool method;
    UINT args;
    bool put = false;
};

constexpr Member kMembers[] = {
    {DISPID_SETAPPNAME, true, 1},         {DISPID_SETHELPFILE, true, 2},
    {DISPID_SHOWCALC, true, 3},           {DISPID_CLEARTAPE, true, 0},
    {DISPID_TAXRATEKIND, false, 0, true}, {DISPID_TAXRATE, false, 0},
    {DISPID_REDUCEDTAXRATE, false, 0},    {DISPID_TAPE, false, 0},
    {DISPID_GRANDTOTAL, false, 0},        {DISPID_CLEARGRANDTOTAL, true, 0},
    {DISPID_DECIMALS, false, 0, true},    {DISPID_ROUNDING, false, 0, true},
};

// Below any value either setter takes, so that a value that is no whole number is refused.
constexpr LONG kNotWhole = -2147483647 - 1;

// A getter's value is typed only once filled, so that a failed get leaves nothing to free; a
// caller that asks for no result still gets the value made and freed, never leaked.
HRESULT give(HRESULT hr, UniqueVariant& value, VARTYPE type, VARIANT* result) {
    if (SUCCEEDED(hr)) value->vt = type;
    if (SUCCEEDED(hr) && result) *result = value.release();
    return hr;
}

// Calls the member with its arguments read as the table's row says they come.
HRESULT call(ZelCalc& z, const Member& member, bool put, Arguments& a, VARIANT* result) {
    UniqueVariant value;
    switch (member.id) {
        case DISPID_SETAPPNAME: {
            UniqueBstr fname = a.bstr(0);
            return z.SetAppName(fname.get());
        }
        case DISPID_SETHELPFILE: {
            UniqueBstr fname = a.bstr(0);
            const LONG topic = a.whole_int32(1, L"SetHelpFile: the help topic id");
            return z.SetHelpFile(fname.get(), topic);
        }
        case DISPID_SHOWCALC: {
            double mCopy = 0, mmaxCopy = 0, shown = 0;
            double* m = a.double_ref(0, mCopy);
            windowstay field = {};
            const windowstay* ws = a.field(1, field);
            double* mmax = a.double_ref(2, mmaxCopy);
            const HRESULT hr = z.show(m, ws, mmax, &shown);
            if (SUCCEEDED(hr) && result) {
                result->vt = VT_R8;
                result->dblVal = shown;
            }
            return hr;
        }
        case DISPID_CLEARTAPE:
            return z.ClearTape();
        case DISPID_TAXRATEKIND: {
            if (!put) return give(z.get_TaxRateKind(&value->lVal), value, VT_I4, result);
            const double kind = a.number(0);
            // A fraction or a number beyond 32 bits is as wrong as 2: the setter names the values.
            const bool whole = kind == 0 || kind == 1;
            return z.put_TaxRateKind(whole ? static_cast<LONG>(kind) : -1);
        }
        case DISPID_TAPE:
            return give(z.get_Tape(&value->bstrVal), value, VT_BSTR, result);
        case DISPID_GRANDTOTAL:
            return give(z.get_GrandTotal(&value->dblVal), value, VT_R8, result);
        case DISPID_CLEARGRANDTOTAL:
            return z.ClearGrandTotal();
        case DISPID_DECIMALS:
            if (!put) return give(z.get_Decimals(&value->lVal), value, VT_I4, result);
            return z.put_Decimals(a.whole(0).value_or(kNotWhole));
        case DISPID_ROUNDING:
            if (!put) return give(z.get_Rounding(&value->lVal), value, VT_I4, result);
            return z.put_Rounding(a.whole(0).value_or(kNotWhole));
        case DISPID_TAXRATE:
            return give(z.get_TaxRate(&value->dblVal), value, VT_R8, result);
        default:
            return give(z.get_ReducedTaxRate(&value->dblVal), value, VT_R8, result);
    }
}

const Member* member_of(DISPID id) {
    for (const Member& m : kMembers) {
        if (m.id == id) return &m;
    }
    return nullptr;
}

bool puts(WORD flags) {
    return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
}

// The member and call kind fit, and the arguments have the form a dispatch caller gives them
// (a property's new value is the one named DISPID_PROPERTYPUT).
HRESULT check_call_form(const Member* member, WORD flags, const DISPPARAMS& params) {
    if (!member) return DISP_E_MEMBERNOTFOUND;
    if (member->method) {
        if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        return params.cNamedArgs != 0 ? DISP_E_NONAMEDARGS : S_OK;
    }
    if (puts(flags)) {
        if (!member->put) return DISP_E_MEMBERNOTFOUND;  // a read-only property
        if (params.cNamedArgs != 1 || !params.rgdispidNamedArgs ||
            params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
            return DISP_E_PARAMNOTOPTIONAL;
        }
        return S_OK;
    }
    if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
    return params.cNamedArgs != 0 ? DISP_E_NONAMEDARGS : S_OK;
}

void fill_exception(EXCEPINFO* excep, HRESULT hr) {
    if (!excep) return;
    *excep = {};
    excep->scode = hr;
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) == S_OK && info) {
        info->GetSource(&excep->bstrSource);
        info->GetDescription(&excep->bstrDescription);
    }
}

}  // namespace

HRESULT ZelCalc::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excep, UINT* arg_err) noexcept {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    // Refused before any argument is touched; the error info says why.
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    const Member* member = member_of(id);
    if (HRESULT hr = check_call_form(member, flags, *params); FAILED(hr)) return hr;
    if (params->cArgs != 0 && !params->rgvarg) return E_INVALIDARG;
    if (result) VariantInit(result);
    try {
        const bool put = !member->method && puts(flags);
        expect_count(*params, put ? 1 : member->args);
        Arguments args(*params);
        HRESULT hr = call(*this, *member, put, args, result);
        if (FAILED(hr) && excep) {
            fill_exception(excep, hr);
            return DISP_E_EXCEPTION;
        }
        return hr;
    } catch (const ArgumentError& e) {
        if (arg_err && e.index != kNoArgument) *arg_err = e.index;
        if (e.description.empty()) return e.hr;
        const HRESULT hr = fail_with(e.hr, e.description);
        if (!excep) return hr;
        fill_exception(excep, hr);
        return DISP_E_EXCEPTION;
    } catch (...) {
        HRESULT hr = current_exception_result();
        if (!excep) return hr;
        fill_exception(excep, hr);
        return DISP_E_EXCEPTION;
    }
}

}  // namespace z5calc
