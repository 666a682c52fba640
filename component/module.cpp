#include <objbase.h>

#include <new>

#include "apartment.h"
#include "class_factory.h"
#include "module_count.h"
#include "registration.h"
#include "settings_store.h"
#include "window_base.h"
#include "z5calcD_h.h"
#include "zelcalc.h"

namespace z5calc {

namespace {

// The classes this server hands out.
struct ServedClass {
    const CLSID* clsid;
    HRESULT (*create)(REFIID riid, void** ppv);
};

const ServedClass kServedClasses[] = {
    {&CLSID_zelcalc, &create_zelcalc},
};

}  // namespace

}  // namespace z5calc

using namespace z5calc;

// The C++ runtime's reserve for exceptions thrown without memory: allocated when the module
// loads, from the process's C runtime heap, which outlives the module.
namespace __gnu_cxx {
void __freeres();
}

// The static thread library's TLS callback (.CRT$XLF). The 32-bit unwinder's frame
// registration at load makes that library give the loading thread a record with a thread
// handle and an event, which it closes only when the thread ends; its own unload frees the
// record but leaves both handles. Run before it (.CRT$XLE comes first), this callback hands it
// the loading thread's end as the library goes, so every load and free leaves nothing behind.
extern "C" PIMAGE_TLS_CALLBACK __xl_f;

namespace {
void NTAPI release_thread_record(PVOID module, DWORD reason, PVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved && __xl_f) {
        __xl_f(module, DLL_THREAD_DETACH, nullptr);
    }
}
}  // namespace

extern "C" __attribute__((section(".CRT$XLE"), used))
const PIMAGE_TLS_CALLBACK z5calc_release_thread_record = release_thread_record;

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_THREAD_DETACH:
            apartment_thread_ended();
            break;
        case DLL_PROCESS_DETACH:
            // FreeLibrary (reserved null), not the process's end: what outlives the module
            // must go now, or every load leaves it behind. Windows of the classes cannot be
            // left, since each holds the module.
            if (!reserved) {
                WindowBase::unregister_classes();
                __gnu_cxx::__freeres();
            }
            break;
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
    return module_in_use() ? S_FALSE : S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return register_server();
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return unregister_server();
}
