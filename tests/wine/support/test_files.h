#pragma once

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

// CMake gives Unix paths: Wine maps them through the Z: drive.
inline std::wstring unix_to_wine_path(const std::string& path) {
    std::wstring wide(path.begin(), path.end());
    if (!wide.empty() && wide[0] == L'/') {
        std::replace(wide.begin(), wide.end(), L'/', L'\\');
        wide = L"Z:" + wide;
    }
    return wide;
}

// The component's DLL as built.
inline std::wstring dll_path() {
    return unix_to_wine_path(Z5CALC_DLL);
}

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
  public:
    explicit TempFolder(const std::wstring& name) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"z5calc-test-" + name + L"-" +
                std::to_wstring(GetCurrentProcessId()) + L"\\";
        remove_tree(path_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { remove_tree(path_); }
    const std::wstring& path() const { return path_; }

    static void remove_tree(const std::wstring& folder) {
        std::wstring pattern = folder + L"*";
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(pattern.c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring full = folder + name;
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    remove_tree(full + L"\\");
                } else {
                    DeleteFileW(full.c_str());
                }
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(folder.c_str());
    }

  private:
    std::wstring path_;
};

inline std::string narrow(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

inline std::string read_bytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

inline void write_bytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream file(path.c_str(), std::ios::binary);
    file << bytes;
}

inline bool file_exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
