#include "field_argument.h"

#include <dispex.h>

#include <cfloat>
#include <cmath>

#include "handles.h"
#include "windowstay_guid.h"
#include "z5calcD_h.h"

namespace z5calc {
namespace {

constexpr wchar_t kAcceptedForms[] =
    L"showcalc: the field rectangle ws must be a windowstay record, an array of four numbers "
    L"(Wtop, Wleft, Wwidth, Wheight, in screen twips), an object with the properties Wtop, "
    L"Wleft, Wwidth and Wheight, or nothing (missing, Empty, Null or Nothing) to open the "
    L"calculator beside the mouse pointer";

[[noreturn]] void refuse(const wchar_t* why) {
    throw FieldRefused{std::wstring(kAcceptedForms) + L"; " + why};
}

// IDispatchEx's identifier, which MinGW's uuid library lacks.
constexpr IID kIDispatchEx = {
    0xa6ef9860, 0xc720, 0x11d0, {0x93, 0x37, 0x00, 0xa0, 0xc9, 0x0d, 0xca, 0xa9}};

constexpr const wchar_t* kFieldNames[4] = {L"Wtop", L"Wleft", L"Wwidth", L"Wheight"};
constexpr const wchar_t* kIndexNames[4] = {L"0", L"1", L"2", L"3"};

// One of the four numbers: anything that converts to a finite number within a float's range.
float coordinate(const VARIANT& value, int index) {
    UniqueVariant number;
    if (FAILED(VariantChangeType(number.get(), const_cast<VARIANT*>(&value), 0, VT_R8))) {
        refuse((std::wstring(kFieldNames[index]) + L" is not a number").c_str());
    }
    const double x = number->dblVal;
    if (!std::isfinite(x) || std::fabs(x) > FLT_MAX) {
        refuse(
            (std::wstring(kFieldNames[index]) + L" is beyond the range of a coordinate").c_str());
    }
    return static_cast<float>(x);
}

void set(windowstay& field, int index, float value) {
    float* fields[4] = {&field.Wtop, &field.Wleft, &field.Wwidth, &field.Wheight};
    *fields[index] = value;
}

bool element_type_is_number(VARTYPE type) {
    switch (type) {
        case VT_I1:
        case VT_UI1:
        case VT_I2:
        case VT_UI2:
        case VT_I4:
        case VT_UI4:
        case VT_I8:
        case VT_UI8:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_R8:
        case VT_CY:
            return true;
        default:
            return false;
    }
}

void read_array(SAFEARRAY* array, VARTYPE elements, windowstay& field) {
    LONG lower = 0, upper = -1;
    if (!array || SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper)) || upper - lower + 1 != 4) {
        refuse(L"an array must have one dimension and four elements");
    }
    if (elements != VT_VARIANT && !element_type_is_number(elements)) {
        refuse(L"the array's elements are not numbers");
    }
    for (int i = 0; i < 4; ++i) {
        LONG at = lower + i;
        UniqueVariant element;
        HRESULT hr;
        if (elements == VT_VARIANT) {
            hr = SafeArrayGetElement(array, &at, element.get());
        } else {
            // The numeric types all fit the variant's value, which starts at the same place.
            hr = SafeArrayGetElement(array, &at, &element->llVal);
            if (SUCCEEDED(hr)) element->vt = elements;
        }
        if (FAILED(hr)) refuse(L"the array's elements cannot be read");
        set(field, i, coordinate(*element.get(), i));
    }
}

// The member `name` of a host's object, if it has one. Script objects answer through
// IDispatchEx (VBScript's class instances know no GetIDsOfNames); other objects through
// IDispatch.
bool property(IDispatch* object, const wchar_t* name, UniqueVariant& value) {
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    ComPtr<IDispatchEx> script;
    if (SUCCEEDED(object->QueryInterface(kIDispatchEx, script.put_void()))) {
        UniqueBstr text{std::wstring_view(name)};
        DISPID id = DISPID_UNKNOWN;
        for (DWORD match : {DWORD{fdexNameCaseSensitive}, DWORD{fdexNameCaseInsensitive}}) {
            if (SUCCEEDED(script->GetDispID(text.get(), match, &id))) break;
        }
        if (id != DISPID_UNKNOWN &&
            SUCCEEDED(script->InvokeEx(id, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                       value.get(), nullptr, nullptr))) {
            return true;
        }
    }
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
    return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT,
                                    DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none, value.get(),
                                    nullptr, nullptr));
}

void read_object(IDispatch* object, windowstay& field) {
    for (const auto* names : {kFieldNames, kIndexNames}) {
        UniqueVariant values[4];
        int found = 0;
        while (found < 4 && property(object, names[found], values[found])) ++found;
        if (found < 4) continue;
        for (int i = 0; i < 4; ++i) set(field, i, coordinate(*values[i].get(), i));
        return;
    }
    refuse(
        L"the object has neither the properties Wtop, Wleft, Wwidth and Wheight nor the "
        L"members 0 to 3");
}

void read_record(const VARIANT& v, windowstay& field) {
    GUID guid = {};
    ULONG size = 0;
    if (!v.pRecInfo || !v.pvRecord || FAILED(v.pRecInfo->GetGuid(&guid)) ||
        !IsEqualGUID(guid, kWindowstayGuid) || FAILED(v.pRecInfo->GetSize(&size)) ||
        size != sizeof(windowstay)) {
        // The GUID alone does not make the record: a smaller one would be read past its end.
        refuse(L"the record is not a windowstay");
    }
    field = *static_cast<const windowstay*>(v.pvRecord);
}

// Whether a VARIANT may hold this type (by value, by reference or as an array); vectors are
// for property sets only.
bool legal_type(VARTYPE vt) {
    if (vt & (VT_VECTOR | VT_RESERVED)) return false;
    switch (vt & VT_TYPEMASK) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_I2:
        case VT_I4:
        case VT_R4:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_ERROR:
        case VT_BOOL:
        case VT_VARIANT:
        case VT_UNKNOWN:
        case VT_DECIMAL:
        case VT_I1:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_I8:
        case VT_UI8:
        case VT_INT:
        case VT_UINT:
        case VT_RECORD:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool read_field(const VARIANT& argument, windowstay& field) {
    const VARIANT* v = &argument;
    if (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
    if (!legal_type(v->vt)) {
        throw FieldRefused{std::wstring(kAcceptedForms) + L"; its type is no VARIANT type",
                           DISP_E_BADVARTYPE};
    }
    const VARTYPE type = v->vt & ~VT_BYREF;
    const bool byRef = (v->vt & VT_BYREF) != 0;
    if (byRef && type != VT_RECORD && !v->byref) refuse(L"a reference that points nowhere");
    if (type == VT_EMPTY || type == VT_NULL) return false;
    if (type == VT_ERROR && !byRef && v->scode == DISP_E_PARAMNOTFOUND) return false;
    if (type == VT_RECORD) {
        read_record(*v, field);
        return true;
    }
    if (type & VT_ARRAY) {
        SAFEARRAY* array = byRef ? (v->pparray ? *v->pparray : nullptr) : v->parray;
        read_array(array, type & VT_TYPEMASK, field);
        return true;
    }
    if (type == VT_DISPATCH || type == VT_UNKNOWN) {
        IUnknown* object = byRef ? (v->ppunkVal ? *v->ppunkVal : nullptr) : v->punkVal;
        if (!object) return false;  // Nothing
        ComPtr<IDispatch> dispatch;
        if (FAILED(object->QueryInterface(IID_IDispatch, dispatch.put_void()))) {
            refuse(L"the object cannot be read through IDispatch");
        }
        read_object(dispatch.get(), field);
        return true;
    }
    refuse(L"a single value is not a field rectangle");
}

}  // namespace z5calc
