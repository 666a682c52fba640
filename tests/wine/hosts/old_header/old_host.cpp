// A host compiled against the header of z5calcD 1.0 before _zelcalc2 existed: it creates the
// object for _zelcalc, names its settings file and opens the calculator for a field.
#include <windows.h>
#include <initguid.h>

#include <cstdio>

#include "z5calcD.h"

int main() {
    if (FAILED(CoInitialize(nullptr))) return 1;
    _zelcalc* calc = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_zelcalc, nullptr, CLSCTX_INPROC_SERVER, IID__zelcalc,
                                  reinterpret_cast<void**>(&calc));
    int status = 1;
    if (SUCCEEDED(hr)) {
        BSTR app = SysAllocString(L"examplehost");
        hr = calc->SetAppName(app);
        SysFreeString(app);
        double m = 1200, mmax = 99999999, result = 0;
        windowstay ws = {3000, 4500, 2250, 360};
        if (SUCCEEDED(hr)) hr = calc->showcalc(&m, &ws, &mmax, &result);
        if (SUCCEEDED(hr)) std::printf("The calculator gave %g\n", result), status = 0;
        calc->Release();
    }
    if (status) std::printf("failed: 0x%08lX\n", static_cast<unsigned long>(hr));
    CoUninitialize();
    return status;
}
