#include "module_count.h"

#include <windows.h>

namespace z5calc {
namespace {

LONG g_holds = 0;

}  // namespace

void module_hold() noexcept {
    InterlockedIncrement(&g_holds);
}

void module_let_go() noexcept {
    InterlockedDecrement(&g_holds);
}

bool module_in_use() noexcept {
    return InterlockedCompareExchange(&g_holds, 0, 0) != 0;
}

}  // namespace z5calc
