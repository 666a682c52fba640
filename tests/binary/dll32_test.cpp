// The 32-bit z5calcD.dll as a 32-bit host's loader and binder meet it, read from its bytes: it
// is checked on machines that cannot run it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>
#include <set>

#include "pe_file.h"
#include "system_dlls.h"

namespace z5calc {
namespace {

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Every resource the DLL must carry: the type library, _zelcalc's IID, the version, and the
// art that assets.rc lists (name, type, file a line).
std::set<std::pair<std::string, std::string>> wanted_resources() {
    std::set<std::pair<std::string, std::string>> wanted = {
        {"TYPELIB", "#1"}, {"CUSTOM", "_IID_ZELCALC"}, {"#16", "#1"}};
    const std::regex line(R"re(^"?([^" ]+)"? +([A-Z]+) +")re");
    std::ifstream rc(ASSETS_RC);
    for (std::string text; std::getline(rc, text);) {
        std::smatch m;
        if (!std::regex_search(text, m, line)) continue;
        const std::string type = m[2] == "BITMAP" ? "#2" : m[2] == "ICON" ? "#14" : m[2].str();
        wanted.emplace(type, upper(m[1]));
    }
    return wanted;
}

// What a 32-bit host would trip over, a line each; empty when it loads and binds.
std::vector<std::string> problems_for_32bit_host(const PeFile& pe) {
    std::vector<std::string> problems;
    if (pe.machine != 0x14C) problems.push_back("machine type is not i386");
    if (pe.optional_magic != 0x10B) problems.push_back("not a 32-bit (PE32) image");
    std::vector<std::string> exports = pe.exports;
    std::sort(exports.begin(), exports.end());
    if (exports != std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject",
                                            "DllRegisterServer", "DllUnregisterServer"} ||
        pe.unnamed_exports) {
        problems.push_back("exports are not exactly the four entry points, undecorated");
    }
    for (const std::string& dll : pe.imports) {
        if (std::find(std::begin(kSystemDlls), std::end(kSystemDlls), lower(dll)) ==
            std::end(kSystemDlls)) {
            problems.push_back("imports " + dll);
        }
    }
    if (pe.imports.empty()) problems.push_back("imports nothing");
    if (~pe.dll_characteristics & 0x40) problems.push_back("lacks DYNAMIC_BASE");
    if (~pe.dll_characteristics & 0x100) problems.push_back("lacks NX_COMPAT");
    std::set<std::pair<std::string, std::string>> present;
    for (const auto& [type, name] : pe.resources) present.emplace(type, upper(name));
    for (const auto& [type, name] : wanted_resources())
        if (!present.count({type, name})) problems.push_back("no resource " + type + "/" + name);
    return problems;
}

std::vector<std::string> problems_of_file(const std::string& path) {
    const std::optional<PeFile> pe = read_pe(file_bytes(path));
    if (!pe) return {"not a PE image"};
    return problems_for_32bit_host(*pe);
}

TEST(Dll32, IsWhatA32BitHostLoadsAndBinds) {
    if (!std::ifstream(DLL32))
        GTEST_SKIP() << DLL32 << " is not built (cmake --build --preset win32)";
    EXPECT_EQ(problems_of_file(DLL32), std::vector<std::string>{});
    EXPECT_GT(wanted_resources().size(), 50u);  // assets.rc was read
}

TEST(Dll32, ChecksRefuseA64BitDllAndBytesThatAreNoImage) {
    if (!std::ifstream(DLL64))
        GTEST_SKIP() << DLL64 << " is not built (cmake --build --preset win64)";
    EXPECT_EQ(problems_of_file(DLL64),
              (std::vector<std::string>{"machine type is not i386", "not a 32-bit (PE32) image"}));
    std::vector<uint8_t> bytes = file_bytes(DLL64);
    bytes.resize(1024);  // the headers, without the sections they point into
    EXPECT_FALSE(read_pe(bytes).has_value());
    EXPECT_FALSE(read_pe({'M', 'Z'}).has_value());
}

}  // namespace
}  // namespace z5calc
