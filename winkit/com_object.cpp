#include "com_object.h"

namespace z5calc {

HRESULT query_interface(void* object, std::span<const InterfaceEntry> table, REFIID riid,
                        void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const InterfaceEntry& entry : table) {
        if (IsEqualIID(riid, *entry.iid) ||
            (&entry == table.data() && IsEqualIID(riid, IID_IUnknown))) {
            IUnknown* found = entry.reach(object);
            found->AddRef();
            *ppv = found;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

}  // namespace z5calc
