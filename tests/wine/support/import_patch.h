#pragma once

#include <windows.h>

// Points one imported function of a loaded module elsewhere, by its slot in the module's import
// address table, and puts the original back at the end: how a test gives the product a system
// answer Wine cannot give (a contrast theme).
class ImportPatch {
  public:
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement);
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    ~ImportPatch();

    bool applied() const { return slot_ != nullptr; }
    // The function the slot held before.
    void* original() const { return original_; }

  private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};
