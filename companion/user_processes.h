#pragma once

#include <windows.h>

#include <vector>

namespace talkzel {

// The processes that have used the companion: the one that started it and every one that sent
// it a message to present. The companion ends once none of them runs any more, so that it never
// outlives its hosts (and never keeps an uninstalled folder in use).
class UserProcesses {
  public:
    UserProcesses() = default;
    UserProcesses(const UserProcesses&) = delete;
    UserProcesses& operator=(const UserProcesses&) = delete;
    ~UserProcesses();

    // The process that started this one.
    void add_parent() noexcept;
    // The process that owns `window` (a host's window to answer to).
    void add_owner_of(HWND window) noexcept;
    // True while one of them runs, and while none is known at all.
    bool any_running() const noexcept;

  private:
    void add(DWORD processId) noexcept;

    std::vector<DWORD> ids_;
    std::vector<HANDLE> processes_;
};

}  // namespace talkzel
