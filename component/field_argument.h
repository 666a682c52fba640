#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

struct windowstay;

namespace z5calc {

// A field rectangle that a late-bound showcalc cannot take, and why.
struct FieldRefused {
    std::wstring description;
    HRESULT error = DISP_E_TYPEMISMATCH;  // DISP_E_BADVARTYPE for a type no VARIANT may hold
};

// Reads the field rectangle of a late-bound showcalc from whatever a host language can pass:
// a windowstay record; an array of four numbers in the record's order (Wtop, Wleft, Wwidth,
// Wheight), of any numeric type or of VARIANTs, by value or by reference; an object with the
// properties Wtop, Wleft, Wwidth and Wheight, or with the members "0" to "3" (a script's
// array). True with `field` filled for those; false for no field at all (missing, Empty, Null,
// Nothing). Anything else throws FieldRefused, and a VARIANT whose type is not legal, or a
// by-reference one that points nowhere, is refused before anything is read through it.
bool read_field(const VARIANT& argument, windowstay& field);

}  // namespace z5calc
