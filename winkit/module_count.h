#pragma once

namespace z5calc {

// What keeps the component's module loaded: live objects, server locks, calls in progress and
// windows of its classes. The count is process-wide; DllCanUnloadNow answers S_OK only at zero,
// so no code of the module can be on a stack or behind a window procedure when it goes.
void module_hold() noexcept;
void module_let_go() noexcept;
bool module_in_use() noexcept;

// Holds the module for a scope: a call in progress.
class ModuleHold {
  public:
    ModuleHold() noexcept { module_hold(); }
    ~ModuleHold() { module_let_go(); }
    ModuleHold(const ModuleHold&) = delete;
    ModuleHold& operator=(const ModuleHold&) = delete;
};

}  // namespace z5calc
