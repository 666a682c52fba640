#include "user_processes.h"

#include <tlhelp32.h>

#include <algorithm>

namespace talkzel {

UserProcesses::~UserProcesses() {
    for (HANDLE process : processes_) CloseHandle(process);
}

void UserProcesses::add_parent() noexcept {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == self) {
            add(entry.th32ParentProcessID);
            break;
        }
    }
    CloseHandle(snapshot);
}

void UserProcesses::add_owner_of(HWND window) noexcept {
    DWORD id = 0;
    if (window && GetWindowThreadProcessId(window, &id)) add(id);
}

void UserProcesses::add(DWORD processId) noexcept {
    if (processId == 0 || processId == GetCurrentProcessId()) return;
    if (std::find(ids_.begin(), ids_.end(), processId) != ids_.end()) return;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) return;  // gone already, or not ours to watch
    try {
        ids_.push_back(processId);
        processes_.push_back(process);
    } catch (...) {
        if (ids_.size() > processes_.size()) ids_.pop_back();
        CloseHandle(process);
    }
}

bool UserProcesses::any_running() const noexcept {
    if (processes_.empty()) return true;
    return std::any_of(processes_.begin(), processes_.end(), [](HANDLE process) {
        return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    });
}

}  // namespace talkzel
