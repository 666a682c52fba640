#pragma once

#include <memory>

#include "calculator.h"
#include "com_object.h"
#include "handles.h"
#include "windowstay_guid.h"
#include "z5calcD_h.h"

namespace z5calc {

struct ComponentState;

HRESULT create_zelcalc(REFIID riid, void** ppv) noexcept;

// The automation class (_zelcalc3, which extends _zelcalc2 and the published _zelcalc, and is
// what IDispatch gives): early binding through the vtable, late binding through a hand-written
// Invoke (the system's type-info Invoke cannot pass records everywhere). An object belongs to
// the thread that made it and shares that apartment's component values; its methods refuse
// other threads. AddRef, Release and QueryInterface work from any thread.
class ZelCalc final : public ComIdentity<ZelCalc, _zelcalc3, ISupportErrorInfo> {
  public:
    explicit ZelCalc(std::shared_ptr<ComponentState> state) noexcept;
    static std::span<const InterfaceEntry> interfaces() noexcept;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid,
                                          ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                     UINT* arg_err) noexcept override;

    // _zelcalc
    HRESULT STDMETHODCALLTYPE SetAppName(BSTR fname) noexcept override;
    HRESULT STDMETHODCALLTYPE SetHelpFile(BSTR fname, LONG id) noexcept override;
    HRESULT STDMETHODCALLTYPE showcalc(double* m, windowstay* ws, double* mmax,
                                       double* result) noexcept override;

    // _zelcalc2
    HRESULT STDMETHODCALLTYPE get_TaxRateKind(LONG* kind) noexcept override;
    HRESULT STDMETHODCALLTYPE put_TaxRateKind(LONG kind) noexcept override;
    HRESULT STDMETHODCALLTYPE get_TaxRate(double* rate) noexcept override;
    HRESULT STDMETHODCALLTYPE get_ReducedTaxRate(double* rate) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Tape(BSTR* text) noexcept override;
    HRESULT STDMETHODCALLTYPE ClearTape() noexcept override;

    // _zelcalc3
    HRESULT STDMETHODCALLTYPE get_GrandTotal(double* total) noexcept override;
    HRESULT STDMETHODCALLTYPE ClearGrandTotal() noexcept override;
    HRESULT STDMETHODCALLTYPE get_Decimals(LONG* decimals) noexcept override;
    HRESULT STDMETHODCALLTYPE put_Decimals(LONG decimals) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Rounding(LONG* rule) noexcept override;
    HRESULT STDMETHODCALLTYPE put_Rounding(LONG rule) noexcept override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) noexcept override;

    // The calculator call behind both bindings; a null ws (late binding only) opens the
    // calculator beside the mouse pointer.
    HRESULT show(const double* m, const windowstay* ws, const double* mmax,
                 double* result) noexcept;

  private:
    ~ZelCalc() override;
    HRESULT type_info(ITypeInfo** info) noexcept;
    // The two rates the next call takes, read as that call will read them.
    HRESULT call_tax_rate(TaxRateKind kind, double* rate) noexcept;
    // The rounding the next call takes, as it will read it.
    HRESULT call_rounding(LONG* value, bool decimals) noexcept;
    // S_OK on the object's own thread; otherwise RPC_E_WRONG_THREAD with its description.
    HRESULT on_own_thread() const noexcept;

    const DWORD thread_;
    std::shared_ptr<ComponentState> state_;
    ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace z5calc
