#include "class_factory.h"

#include "module_count.h"

namespace z5calc {

ClassFactory::ClassFactory(Create create) noexcept : create_(create) {
    module_hold();
}
ClassFactory::~ClassFactory() {
    module_let_go();
}

HRESULT ClassFactory::QueryInterface(REFIID riid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
        return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG ClassFactory::AddRef() noexcept {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG ClassFactory::Release() noexcept {
    LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return create_(riid, ppv);
}

HRESULT ClassFactory::LockServer(BOOL lock) noexcept {
    if (lock) {
        module_hold();
    } else {
        module_let_go();
    }
    return S_OK;
}

}  // namespace z5calc
