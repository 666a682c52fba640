#include "zelcalc.h"

#include <cmath>
#include <new>

#include "apartment.h"
#include "calculator_call.h"
#include "component_state.h"
#include "error_info.h"
#include "field_argument.h"
#include "module.h"
#include "module_count.h"
#include "utf8_text.h"

namespace z5calc {

namespace {

constexpr DISPID kDispSetAppName = DISPID_SETAPPNAME;
constexpr DISPID kDispSetHelpFile = DISPID_SETHELPFILE;
constexpr DISPID kDispShowcalc = DISPID_SHOWCALC;
constexpr DISPID kDispTaxRateKind = DISPID_TAXRATEKIND;
constexpr DISPID kDispTaxRate = DISPID_TAXRATE;
constexpr DISPID kDispReducedTaxRate = DISPID_REDUCEDTAXRATE;
constexpr DISPID kDispTape = DISPID_TAPE;
constexpr DISPID kDispClearTape = DISPID_CLEARTAPE;

bool is_method(DISPID id) {
    return id == kDispSetAppName || id == kDispSetHelpFile || id == kDispShowcalc ||
           id == kDispClearTape;
}
bool is_property(DISPID id) {
    return id == kDispTaxRateKind || id == kDispTaxRate || id == kDispReducedTaxRate ||
           id == kDispTape;
}

// The member and call kind fit, and the arguments have the form a dispatch caller gives them
// (a property's new value is the one named DISPID_PROPERTYPUT).
HRESULT check_call_form(DISPID id, WORD flags, const DISPPARAMS& params) {
    if (is_method(id)) {
        if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        return params.cNamedArgs != 0 ? DISP_E_NONAMEDARGS : S_OK;
    }
    if (!is_property(id)) return DISP_E_MEMBERNOTFOUND;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (id != kDispTaxRateKind) return DISP_E_MEMBERNOTFOUND;  // the rates are read-only
        if (params.cNamedArgs != 1 || !params.rgdispidNamedArgs ||
            params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
            return DISP_E_PARAMNOTOPTIONAL;
        }
        return S_OK;
    }
    if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
    return params.cNamedArgs != 0 ? DISP_E_NONAMEDARGS : S_OK;
}

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

HRESULT create_zelcalc(REFIID riid, void** ppv) noexcept {
    std::shared_ptr<ComponentState> state;
    try {
        state = apartment_state();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    auto* object = new (std::nothrow) ZelCalc(std::move(state));
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

ZelCalc::ZelCalc(std::shared_ptr<ComponentState> state) noexcept
    : thread_(GetCurrentThreadId()), state_(std::move(state)) {
    module_hold();
}
ZelCalc::~ZelCalc() {
    // The apartment's values may go with this object; on another thread (a host's finalizer)
    // no window of theirs is left, since a window lives only inside a call.
    state_.reset();
    module_let_go();
}

HRESULT ZelCalc::on_own_thread() const noexcept {
    if (GetCurrentThreadId() == thread_) return S_OK;
    return fail_with(RPC_E_WRONG_THREAD,
                     L"zelcalc: the object was called on a thread other than the one that made it");
}

HRESULT ZelCalc::QueryInterface(REFIID riid, void** ppv) noexcept {
    static constexpr InterfaceEntry kInterfaces[] = {
        interface_entry<ZelCalc, _zelcalc>(IID__zelcalc),
        interface_entry<ZelCalc, _zelcalc2>(IID__zelcalc2),
        interface_entry<ZelCalc, _zelcalc2>(IID_IDispatch),
        interface_entry<ZelCalc, ISupportErrorInfo>(IID_ISupportErrorInfo),
    };
    return query_interface(this, kInterfaces, riid, ppv);
}

ULONG ZelCalc::AddRef() noexcept {
    return refs_.add();
}

ULONG ZelCalc::Release() noexcept {
    const ULONG left = refs_.release();
    if (left == 0) delete this;
    return left;
}

HRESULT ZelCalc::type_info(ITypeInfo** info) noexcept {
    *info = nullptr;
    if (!typeInfo_) {
        ComPtr<ITypeLib> library;
        // Read from the module itself, without registering anything.
        std::wstring path;
        try {
            path = module_file_path();
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
        if (FAILED(hr)) return hr;
        hr = library->GetTypeInfoOfGuid(IID__zelcalc2, typeInfo_.put());
        if (FAILED(hr)) return hr;
    }
    typeInfo_->AddRef();
    *info = typeInfo_.get();
    return S_OK;
}

HRESULT ZelCalc::GetTypeInfoCount(UINT* count) noexcept {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT ZelCalc::GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    if (index != 0) return DISP_E_BADINDEX;
    return type_info(info);
}

HRESULT ZelCalc::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                               DISPID* ids) noexcept {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids) return E_POINTER;
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    ComPtr<ITypeInfo> info;
    HRESULT hr = type_info(info.put());
    if (FAILED(hr)) return hr;
    // The type information matches names without regard to case, as VB and script hosts expect.
    return info->GetIDsOfNames(names, count, ids);
}

HRESULT ZelCalc::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excep, UINT* arg_err) noexcept {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    // Refused before any argument is touched; the error info says why.
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    if (HRESULT hr = check_call_form(id, flags, *params); FAILED(hr)) return hr;
    if (params->cArgs != 0 && !params->rgvarg) return E_INVALIDARG;
    if (result) VariantInit(result);
    try {
        HRESULT hr = is_property(id) ? invoke_property(id, flags, *params, result)
                                     : invoke_method(id, *params, result, arg_err);
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

HRESULT ZelCalc::invoke_method(DISPID id, DISPPARAMS& params, VARIANT* result, UINT*) {
    Arguments args(params);
    switch (id) {
        case kDispSetAppName: {
            expect_count(params, 1);
            UniqueBstr fname = args.bstr(0);
            return SetAppName(fname.get());
        }
        case kDispSetHelpFile: {
            expect_count(params, 2);
            UniqueBstr fname = args.bstr(0);
            LONG topic = args.whole_int32(1, L"SetHelpFile: the help topic id");
            return SetHelpFile(fname.get(), topic);
        }
        case kDispClearTape:
            expect_count(params, 0);
            return ClearTape();
        default: {
            expect_count(params, 3);
            double m_copy = 0, mmax_copy = 0;
            double* m = args.double_ref(0, m_copy);
            windowstay field = {};
            const windowstay* ws = args.field(1, field);
            double* mmax = args.double_ref(2, mmax_copy);
            double value = 0;
            HRESULT hr = show(m, ws, mmax, &value);
            if (SUCCEEDED(hr) && result) {
                result->vt = VT_R8;
                result->dblVal = value;
            }
            return hr;
        }
    }
}

HRESULT ZelCalc::invoke_property(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result) {
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        expect_count(params, 1);
        const double kind = Arguments(params).number(0);
        // A fraction or a number beyond 32 bits is as wrong as 2: the setter names the values.
        const bool whole = kind == 0 || kind == 1;
        return put_TaxRateKind(whole ? static_cast<LONG>(kind) : -1);
    }
    expect_count(params, 0);
    UniqueVariant value;
    HRESULT hr = S_OK;
    // Typed only once filled, so that a failed get leaves nothing to free.
    if (id == kDispTaxRateKind) {
        hr = get_TaxRateKind(&value->lVal);
        if (SUCCEEDED(hr)) value->vt = VT_I4;
    } else if (id == kDispTape) {
        hr = get_Tape(&value->bstrVal);
        if (SUCCEEDED(hr)) value->vt = VT_BSTR;
    } else {
        hr = id == kDispTaxRate ? get_TaxRate(&value->dblVal) : get_ReducedTaxRate(&value->dblVal);
        if (SUCCEEDED(hr)) value->vt = VT_R8;
    }
    // A caller that asks for no result still gets the value made and freed, never leaked.
    if (SUCCEEDED(hr) && result) *result = value.release();
    return hr;
}

HRESULT ZelCalc::SetAppName(BSTR fname) noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    return guarded_call([&] {
        z5calc::SetAppName(*state_, {fname ? fname : L"", fname ? SysStringLen(fname) : 0u});
        return S_OK;
    });
}

HRESULT ZelCalc::SetHelpFile(BSTR fname, LONG id) noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    return guarded_call([&] {
        z5calc::SetHelpFile(*state_, {fname ? fname : L"", fname ? SysStringLen(fname) : 0u}, id);
        return S_OK;
    });
}

HRESULT ZelCalc::showcalc(double* m, windowstay* ws, double* mmax, double* result) noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    if (!ws) return fail_with(E_POINTER, L"showcalc needs all of its arguments");
    return show(m, ws, mmax, result);
}

HRESULT ZelCalc::show(const double* m, const windowstay* ws, const double* mmax,
                      double* result) noexcept {
    // The host may release its last reference from inside the display (a timer), and a runtime
    // may then free unused libraries: the object and its code stay until the call returns.
    AddRef();
    ComPtr<ZelCalc> keep;
    keep.reset(this);
    ModuleHold hold;
    return guarded_call([&] {
        if (!m || !mmax || !result)
            return fail_with(E_POINTER, L"showcalc needs all of its arguments");
        // The host's values are read once and never written.
        *result = z5calc::showcalc(*state_, *m, ws, *mmax);
        return S_OK;
    });
}

HRESULT ZelCalc::get_TaxRateKind(LONG* kind) noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    if (!kind) return fail_with(E_POINTER, L"TaxRateKind needs a place for its value");
    *kind = state_->lastRateKind == TaxRateKind::Reduced ? 1 : 0;
    return S_OK;
}

HRESULT ZelCalc::put_TaxRateKind(LONG kind) noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    return guarded_call([&] {
        SetTaxRateKind(*state_, kind);
        return S_OK;
    });
}

HRESULT ZelCalc::call_tax_rate(TaxRateKind kind, double* rate) noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    if (!rate) return fail_with(E_POINTER, L"TaxRate and ReducedTaxRate need a place for the rate");
    return guarded_call([&] {
        SettingsStore& settings = state_->settings;
        if (!settings.started()) settings.InitSettings();
        ReadCallTaxSettings(*state_);
        *rate = kind == TaxRateKind::Reduced ? settings.reducedTaxRate : settings.taxRate;
        return S_OK;
    });
}

HRESULT ZelCalc::get_TaxRate(double* rate) noexcept {
    return call_tax_rate(TaxRateKind::Standard, rate);
}

HRESULT ZelCalc::get_ReducedTaxRate(double* rate) noexcept {
    return call_tax_rate(TaxRateKind::Reduced, rate);
}

HRESULT ZelCalc::get_Tape(BSTR* text) noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    if (!text) return fail_with(E_POINTER, L"Tape needs a place for its text");
    *text = nullptr;
    return guarded_call([&] {
        // The apartment's calculator keeps the tape; before its first call there is none.
        std::string tape;
        if (state_->calcWindow) tape = tape_text(state_->calcWindow->calculator().tape());
        const std::wstring wide = widen_utf8(tape);
        *text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        if (!*text) return fail_with(E_OUTOFMEMORY, L"Tape: no memory for the text");
        return S_OK;
    });
}

HRESULT ZelCalc::ClearTape() noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    if (state_->calcWindow) state_->calcWindow->clear_tape();  // a shown tape empties too
    return S_OK;
}

HRESULT ZelCalc::InterfaceSupportsErrorInfo(REFIID riid) noexcept {
    return IsEqualIID(riid, IID__zelcalc) || IsEqualIID(riid, IID__zelcalc2) ? S_OK : S_FALSE;
}

}  // namespace z5calc
