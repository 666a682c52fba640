#include "zelcalc.h"

#include <cmath>
#include <new>

#include "apartment.h"
#include "calculator_call.h"
#include "component_state.h"
#include "error_info.h"
#include "field_argument.h"
#include "settings_store.h"
#include "window_base.h"
#include "module_count.h"
#include "tape_line_text.h"

namespace z5calc {

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
    : thread_(GetCurrentThreadId()), state_(std::move(state)) {}
ZelCalc::~ZelCalc() {
    // The apartment's values may go with this object; on another thread (a host's finalizer)
    // no window of theirs is left, since a window lives only inside a call.
    state_.reset();
}

HRESULT ZelCalc::on_own_thread() const noexcept {
    if (GetCurrentThreadId() == thread_) return S_OK;
    return fail_with(RPC_E_WRONG_THREAD,
                     L"zelcalc: the object was called on a thread other than the one that made it");
}

std::span<const InterfaceEntry> ZelCalc::interfaces() noexcept {
    static constexpr InterfaceEntry kInterfaces[] = {
        interface_entry<ZelCalc, _zelcalc>(IID__zelcalc),
        interface_entry<ZelCalc, _zelcalc2>(IID__zelcalc2),
        interface_entry<ZelCalc, _zelcalc3>(IID__zelcalc3),
        interface_entry<ZelCalc, _zelcalc3>(IID_IDispatch),
        interface_entry<ZelCalc, ISupportErrorInfo>(IID_ISupportErrorInfo),
    };
    return kInterfaces;
}

HRESULT ZelCalc::type_info(ITypeInfo** info) noexcept {
    *info = nullptr;
    if (!typeInfo_) {
        ComPtr<ITypeLib> library;
        // Read from the module itself, without registering anything.
        std::wstring path;
        try {
            path = module_file_name(WindowBase::code_module());
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
        if (FAILED(hr)) return hr;
        hr = library->GetTypeInfoOfGuid(IID__zelcalc3, typeInfo_.put());
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
    *kind = state_->calculation.tax_rate_kind() == TaxRateKind::Reduced ? 1 : 0;
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
        const std::wstring wide = tape_text(state_->calculation.tape());
        *text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        if (!*text) return fail_with(E_OUTOFMEMORY, L"Tape: no memory for the text");
        return S_OK;
    });
}

HRESULT ZelCalc::ClearTape() noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    state_->calculation.clear_tape();  // a shown tape empties too
    return S_OK;
}

HRESULT ZelCalc::get_GrandTotal(double* total) noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    if (!total) return fail_with(E_POINTER, L"GrandTotal needs a place for its value");
    *total = state_->calculation.grand_total();
    return S_OK;
}

HRESULT ZelCalc::ClearGrandTotal() noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    state_->calculation.clear_grand_total();  // a shown calculator drops its mark
    return S_OK;
}

HRESULT ZelCalc::call_rounding(LONG* value, bool decimals) noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    if (!value) return fail_with(E_POINTER, L"Decimals and Rounding need a place for the value");
    return guarded_call([&] {
        SettingsStore& settings = state_->settings;
        if (!settings.started()) settings.InitSettings();
        ReadCallTaxSettings(*state_);
        const ResultRounding next = CallRounding(*state_);
        *value = decimals ? next.decimals : static_cast<LONG>(next.rule);
        return S_OK;
    });
}

HRESULT ZelCalc::get_Decimals(LONG* decimals) noexcept {
    return call_rounding(decimals, true);
}

HRESULT ZelCalc::get_Rounding(LONG* rule) noexcept {
    return call_rounding(rule, false);
}

HRESULT ZelCalc::put_Decimals(LONG decimals) noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    return guarded_call([&] {
        SetDecimals(*state_, decimals);
        return S_OK;
    });
}

HRESULT ZelCalc::put_Rounding(LONG rule) noexcept {
    if (HRESULT hr = on_own_thread(); FAILED(hr)) return hr;
    return guarded_call([&] {
        SetRounding(*state_, rule);
        return S_OK;
    });
}

HRESULT ZelCalc::InterfaceSupportsErrorInfo(REFIID riid) noexcept {
    return IsEqualIID(riid, IID__zelcalc) || IsEqualIID(riid, IID__zelcalc2) ||
                   IsEqualIID(riid, IID__zelcalc3)
               ? S_OK
               : S_FALSE;
}

}  // namespace z5calc
