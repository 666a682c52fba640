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
    static constexpr InterfaceEntry kInterfaces[] = {
        interface_entry<ClassFactory, IClassFactory>(IID_IClassFactory),
    };
    return query_interface(this, kInterfaces, riid, ppv);
}

ULONG ClassFactory::AddRef() noexcept {
    return refs_.add();
}

ULONG ClassFactory::Release() noexcept {
    const ULONG left = refs_.release();
    if (left == 0) delete this;
    return left;
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
