#include "program_window.h"

#include "handles.h"

namespace z5calc {
namespace {

bool file_identity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) noexcept {
    // No access beyond the attributes: a program file that is running can always be opened so.
    UniqueFile file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    return file.get() != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file.get(), &info);
}

std::wstring program_file_of(HWND window) {
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(window, &processId) || !processId) return {};
    UniqueFile process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return {};
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(path.size());
        if (QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) {
            path.resize(size);
            return path;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

bool same_identity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

bool same_file(const std::wstring& a, const std::wstring& b) noexcept {
    BY_HANDLE_FILE_INFORMATION first = {}, second = {};
    return !a.empty() && !b.empty() && file_identity(a, first) && file_identity(b, second) &&
           same_identity(first, second);
}

bool window_runs_one_of(HWND window, const std::vector<std::wstring>& files) noexcept {
    try {
        // The program's file is looked up once; each candidate is then one more open.
        const std::wstring program = program_file_of(window);
        BY_HANDLE_FILE_INFORMATION running = {};
        if (program.empty() || !file_identity(program, running)) return false;
        for (const std::wstring& file : files) {
            BY_HANDLE_FILE_INFORMATION candidate = {};
            if (!file.empty() && file_identity(file, candidate) &&
                same_identity(running, candidate))
                return true;
        }
    } catch (...) {
    }
    return false;
}

std::wstring own_program_file() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

}  // namespace z5calc
