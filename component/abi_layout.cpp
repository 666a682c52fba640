// The binary layout hosts were compiled against, in this build's bitness: the record showcalc
// takes and the vtable slot of every method of _zelcalc, _zelcalc2 and _zelcalc3, as the C view of
// the generated header lays them out. Nothing here runs; the build stops if the layout moves.
#define CINTERFACE
#include <cstddef>

#include "z5calcD_h.h"

namespace {

constexpr size_t slot(size_t offset) {
    return offset / sizeof(void*);
}

static_assert(sizeof(windowstay) == 16);
static_assert(offsetof(windowstay, Wtop) == 0 && offsetof(windowstay, Wleft) == 4 &&
              offsetof(windowstay, Wwidth) == 8 && offsetof(windowstay, Wheight) == 12);

// IUnknown and IDispatch take slots 0-6.
static_assert(slot(offsetof(_zelcalcVtbl, Invoke)) == 6);
static_assert(slot(offsetof(_zelcalcVtbl, SetAppName)) == 7);
static_assert(slot(offsetof(_zelcalcVtbl, SetHelpFile)) == 8);
static_assert(slot(offsetof(_zelcalcVtbl, showcalc)) == 9);
static_assert(sizeof(_zelcalcVtbl) == 10 * sizeof(void*));

// _zelcalc2 keeps _zelcalc's slots and adds its own after them.
static_assert(slot(offsetof(_zelcalc2Vtbl, showcalc)) == 9);
static_assert(slot(offsetof(_zelcalc2Vtbl, get_TaxRateKind)) == 10);
static_assert(slot(offsetof(_zelcalc2Vtbl, put_TaxRateKind)) == 11);
static_assert(slot(offsetof(_zelcalc2Vtbl, get_TaxRate)) == 12);
static_assert(slot(offsetof(_zelcalc2Vtbl, get_ReducedTaxRate)) == 13);
static_assert(slot(offsetof(_zelcalc2Vtbl, get_Tape)) == 14);
static_assert(slot(offsetof(_zelcalc2Vtbl, ClearTape)) == 15);
static_assert(sizeof(_zelcalc2Vtbl) == 16 * sizeof(void*));

static_assert(slot(offsetof(_zelcalc3Vtbl, ClearTape)) == 15);
static_assert(slot(offsetof(_zelcalc3Vtbl, get_GrandTotal)) == 16);
static_assert(slot(offsetof(_zelcalc3Vtbl, ClearGrandTotal)) == 17);
static_assert(slot(offsetof(_zelcalc3Vtbl, get_Decimals)) == 18);
static_assert(slot(offsetof(_zelcalc3Vtbl, put_Decimals)) == 19);
static_assert(slot(offsetof(_zelcalc3Vtbl, get_Rounding)) == 20);
static_assert(slot(offsetof(_zelcalc3Vtbl, put_Rounding)) == 21);
static_assert(sizeof(_zelcalc3Vtbl) == 22 * sizeof(void*));

}  // namespace
