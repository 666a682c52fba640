#include "version_box.h"

#include "owner_message_box.h"
#include "resource_data.h"
#include "version_text.h"

namespace z5calc {

void show_version_box(HWND owner, HMODULE resources) noexcept {
    try {
        const auto data = resource_data(resources, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
        auto version = fixed_file_version(data.data(), data.size());
        if (!version) return;
        message_box_on_owner(owner, version_message(*version).c_str(), L"z5calc", MB_OK);
    } catch (...) {
        // No memory for a dozen characters: there is nothing to show.
    }
}

}  // namespace z5calc
