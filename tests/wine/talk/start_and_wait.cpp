// A host that starts a program and goes away:  start_and_wait MS PROGRAM [ARGUMENTS]
// Starts PROGRAM with ARGUMENTS (the rest of the command line), waits MS milliseconds and ends.
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    std::wstring line = L"\"" + std::wstring(argv[2]) + L"\"";
    for (int i = 3; i < argc; ++i) line += L" " + std::wstring(argv[i]);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(argv[2], line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        return 1;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    Sleep(static_cast<DWORD>(_wtoi(argv[1])));
    return 0;
}
