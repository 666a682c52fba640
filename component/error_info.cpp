#include "error_info.h"

#include <oleauto.h>

#include <new>
#include <stdexcept>

#include "described_overflow.h"
#include "handles.h"
#include "z5calcD_h.h"

namespace z5calc {

HRESULT fail_with(HRESULT hr, std::wstring_view description) noexcept {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.put()))) {
        std::wstring text(description.begin(), description.end());
        create->SetGUID(IID__zelcalc);
        create->SetSource(const_cast<LPOLESTR>(L"z5calcD.zelcalc"));
        create->SetDescription(text.data());
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, info.put_void())))
            SetErrorInfo(0, info.get());
    }
    return hr;
}

HRESULT current_exception_result() noexcept {
    try {
        throw;
    } catch (const ComError& e) {
        return fail_with(e.hr, e.description);
    } catch (const DescribedOverflow& e) {
        return fail_with(kOverflowError, e.description());
    } catch (const std::overflow_error&) {
        return fail_with(kOverflowError, L"Overflow");
    } catch (const std::bad_alloc&) {
        return fail_with(E_OUTOFMEMORY, L"Out of memory");
    } catch (const std::exception& e) {
        std::string what = e.what();
        return fail_with(E_FAIL, std::wstring(what.begin(), what.end()));
    } catch (...) {
        return fail_with(E_UNEXPECTED, L"Unexpected failure");
    }
}

}  // namespace z5calc
