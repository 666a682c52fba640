#include "module.h"

#include <objbase.h>

#include <new>

#include "class_factory.h"
#include "registration.h"
#include "settings_store.h"
#include "z5calcD_h.h"
#include "zelcalc.h"

namespace z5calc {

namespace {

HMODULE g_module = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;

// The classes this server hands out.
struct ServedClass {
    const CLSID* clsid;
    HRESULT (*create)(REFIID riid, void** ppv);
};

const ServedClass kServedClasses[] = {
    {&CLSID_zelcalc, &create_zelcalc},
};

}  // namespace

void module_add_ref() noexcept {
    InterlockedIncrement(&g_objects);
}
void module_release() noexcept {
    InterlockedDecrement(&g_objects);
}
void module_lock(bool lock) noexcept {
    if (lock) {
        InterlockedIncrement(&g_locks);
    } else {
        InterlockedDecrement(&g_locks);
    }
}
bool module_can_unload() noexcept {
    return g_objects == 0 && g_locks == 0;
}

HMODULE module_handle() noexcept {
    return g_module;
}

std::wstring module_file_path() {
    return module_file_name(g_module);
}

}  // namespace z5calc

using namespace z5calc;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const ServedClass& served : kServedClasses) {
        if (!IsEqualCLSID(clsid, *served.clsid)) continue;
        auto* factory = new (std::nothrow) ClassFactory(served.create);
        if (!factory) return E_OUTOFMEMORY;
        HRESULT hr = factory->QueryInterface(riid, ppv);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return module_can_unload() ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return register_server();
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return unregister_server();
}
