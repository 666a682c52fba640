#include "class_factory.h"

#include "module_count.h"

namespace z5calc {

std::span<const InterfaceEntry> ClassFactory::interfaces() noexcept {
    static constexpr InterfaceEntry kInterfaces[] = {
        interface_entry<ClassFactory, IClassFactory>(IID_IClassFactory),
    };
    return kInterfaces;
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
