#include "key_tooltips.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "japanese_font.h"

namespace z5calc {

bool KeyTooltips::create(HWND owner, int dpi) noexcept {
    try {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&init);
        owner_ = owner;
        tips_ =
            CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, nullptr, nullptr);
        if (!tips_) return false;
        for (const KeyRow& entry : kKeys) {
            std::wstring text =
                std::wstring(key_name(entry.id)) + L" (" + shortcut_text(entry.id) + L")";
            TTTOOLINFOW tool = {};
            tool.cbSize = sizeof(tool);
            tool.uFlags = 0;
            tool.hwnd = owner;
            tool.uId = static_cast<UINT_PTR>(entry.id);
            tool.lpszText = text.data();  // copied by the tooltip
            SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        TTTOOLINFOW mark = {};
        mark.cbSize = sizeof(mark);
        mark.hwnd = owner;
        mark.uId = kMarkTool;
        mark.rect = mark_;
        mark.lpszText = markText_.data();
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&mark));
        scale(dpi);
        return true;
    } catch (...) {
        return false;
    }
}

void KeyTooltips::place(const std::array<RECT, kKeyCount>& keys) noexcept {
    if (!tips_) return;
    for (const KeyRow& entry : kKeys)
        set_tool_rect(static_cast<UINT_PTR>(entry.id), keys[static_cast<std::size_t>(entry.id)]);
}

void KeyTooltips::set_tool_rect(UINT_PTR id, const RECT& r) noexcept {
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = owner_;
    tool.uId = id;
    tool.rect = r;
    SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void KeyTooltips::set_mark(const RECT& r) noexcept {
    mark_ = r;  // kept for a tooltip window made later
    if (tips_) set_tool_rect(kMarkTool, r);
}

void KeyTooltips::set_mark_text(const std::wstring& text) noexcept {
    try {
        markText_ = text;
    } catch (...) {
        return;
    }
    set_tool_text(kMarkTool, markText_.c_str());
}

void KeyTooltips::scale(int dpi) noexcept {
    if (!tips_) return;
    UniqueHfont font(create_japanese_ui_font(dpi));
    if (!font) return;
    SendMessageW(tips_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_ = std::move(font);  // the old one only now, when the tooltip no longer uses it
}

void KeyTooltips::set_text(KeyId id, const std::wstring& text) noexcept {
    set_tool_text(static_cast<UINT_PTR>(id), text.c_str());
}

void KeyTooltips::set_tool_text(UINT_PTR id, const wchar_t* text) noexcept {
    if (!tips_) return;
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = owner_;
    tool.uId = id;
    tool.lpszText = const_cast<wchar_t*>(text);  // copied by the tooltip
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void KeyTooltips::relay(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (!tips_) return;
    MSG msg = {owner_, message, wParam, lParam, 0, {}};
    SendMessageW(tips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

}  // namespace z5calc
