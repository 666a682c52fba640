// A C++ host calling the calculator late bound, through IDispatch, as script and VB hosts do.
// It needs no header of the component: the class is found by its ProgID.
// Build: g++ showcalc_late.cpp -o showcalc_late.exe -lole32 -loleaut32 -luser32 -lgdi32 -luuid
//        (or cl showcalc_late.cpp ole32.lib oleaut32.lib user32.lib gdi32.lib uuid.lib)
// with z5calcD.dll registered (regsvr32 or regcalc).
#include <windows.h>

#include <cstdio>

// [readme]
// Calls showcalc(m, ws, mmax) by name. The field goes as an array of four numbers in the
// record's order (Wtop, Wleft, Wwidth, Wheight, screen twips); EXCEPINFO carries the reason of
// a failure.
HRESULT showcalc_late(IDispatch* calc, double m, const double field[4], double mmax,
                      double& result) {
    OLECHAR* name = const_cast<OLECHAR*>(L"showcalc");
    DISPID id = 0;
    HRESULT hr = calc->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    SAFEARRAY* ws = SafeArrayCreateVector(VT_R8, 0, 4);
    if (!ws) return E_OUTOFMEMORY;
    for (LONG i = 0; i < 4; ++i) SafeArrayPutElement(ws, &i, const_cast<double*>(&field[i]));
    VARIANT args[3];  // the last argument first
    args[2].vt = VT_R8 | VT_BYREF;
    args[2].pdblVal = &m;
    args[1].vt = VT_ARRAY | VT_R8;
    args[1].parray = ws;
    args[0].vt = VT_R8 | VT_BYREF;
    args[0].pdblVal = &mmax;
    DISPPARAMS params = {args, nullptr, 3, 0};
    VARIANT answer;
    VariantInit(&answer);
    EXCEPINFO error = {};
    hr = calc->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &answer, &error,
                      nullptr);
    SafeArrayDestroy(ws);
    if (hr == DISP_E_EXCEPTION) {
        std::printf("showcalc: %ls\n", error.bstrDescription ? error.bstrDescription : L"");
        hr = error.scode;
    }
    SysFreeString(error.bstrDescription);
    SysFreeString(error.bstrSource);
    SysFreeString(error.bstrHelpFile);
    if (SUCCEEDED(hr)) hr = VariantChangeType(&answer, &answer, 0, VT_R8);
    if (SUCCEEDED(hr)) result = answer.dblVal;
    VariantClear(&answer);
    return hr;
}
// [/readme]

int main() {
    HRESULT hr = CoInitialize(nullptr);
    if (FAILED(hr)) return 1;
    HWND form = CreateWindowExW(0, L"STATIC", L"Order", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                320, 120, nullptr, nullptr, nullptr, nullptr);
    HWND field = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"1200", WS_CHILD | WS_VISIBLE, 20, 20,
                                 150, 24, form, nullptr, nullptr, nullptr);
    // The field's place in screen twips, the calculator to go just right of it.
    RECT r = {};
    GetWindowRect(field, &r);
    HDC screen = GetDC(nullptr);
    const double tx = 1440.0 / GetDeviceCaps(screen, LOGPIXELSX);
    const double ty = 1440.0 / GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const double ws[4] = {r.top * ty, r.right * tx, (r.right - r.left) * tx,
                          (r.bottom - r.top) * ty};

    int status = 1;
    CLSID clsid;
    IDispatch* calc = nullptr;
    hr = CLSIDFromProgID(L"z5calcD.zelcalc", &clsid);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&calc));
    }
    if (FAILED(hr)) {
        std::printf("z5calcD.zelcalc cannot be created (0x%08lX): is z5calcD.dll registered?\n",
                    static_cast<unsigned long>(hr));
    } else {
        double value = 0;
        hr = showcalc_late(calc, 1200, ws, 99999999, value);
        if (SUCCEEDED(hr)) {
            std::printf("The calculator gave %g\n", value);
            status = 0;
        } else {
            std::printf("showcalc failed (0x%08lX)\n", static_cast<unsigned long>(hr));
        }
        calc->Release();
    }
    DestroyWindow(form);
    CoUninitialize();
    return status;
}
