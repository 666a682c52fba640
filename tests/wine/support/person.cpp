#include "person.h"

#include <oleacc.h>

#include <map>
#include <vector>

#include "accessible_base.h"
#include "handles.h"

namespace z5calc {
namespace {

INPUT key_input(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// One key, with the modifiers held around it.
void press(WORD vk, bool shift, bool ctrl) {
    std::vector<INPUT> inputs;
    if (ctrl) inputs.push_back(key_input(VK_CONTROL, false));
    if (shift) inputs.push_back(key_input(VK_SHIFT, false));
    inputs.push_back(key_input(vk, false));
    inputs.push_back(key_input(vk, true));
    if (shift) inputs.push_back(key_input(VK_SHIFT, true));
    if (ctrl) inputs.push_back(key_input(VK_CONTROL, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

WORD named_key(const std::wstring& name) {
    static const std::map<std::wstring, WORD> keys = {
        {L"ESC", VK_ESCAPE}, {L"BS", VK_BACK},   {L"DEL", VK_DELETE}, {L"ENTER", VK_RETURN},
        {L"UP", VK_UP},      {L"DOWN", VK_DOWN}, {L"APPS", VK_APPS}};
    if (auto it = keys.find(name); it != keys.end()) return it->second;
    if (name.size() > 1 && name[0] == L'F')
        return static_cast<WORD>(VK_F1 - 1 + std::stoi(name.substr(1)));
    return 0;
}

// A child of a client object, as MSAA's calls name it.
VARIANT child_id(long child) {
    VARIANT id = {};
    id.vt = VT_I4;
    id.lVal = child;
    return id;
}

// One text property of a child of the client object; empty when it has none.
template <class Get>
std::wstring child_text(IAccessible* acc, long child, Get get) {
    UniqueBstr text;
    if ((acc->*get)(child_id(child), text.put()) != S_OK || !text.get()) return L"";
    return std::wstring(text.view());
}

ComPtr<IAccessible> client_object(HWND window) {
    ComPtr<IAccessible> acc;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kAccessibleIid,
                               acc.put_void());
    return acc;
}

long child_count(IAccessible* acc) {
    long count = 0;
    acc->get_accChildCount(&count);
    return count;
}

}  // namespace

void type_keys(const std::wstring& keys) {
    for (size_t i = 0; i < keys.size(); ++i) {
        const wchar_t ch = keys[i];
        if (ch == L'~') {
            press(VK_RETURN, false, false);
        } else if (ch == L'^' && i + 1 < keys.size()) {
            const SHORT scan = VkKeyScanW(keys[++i]);
            press(LOBYTE(scan), (HIBYTE(scan) & 1) != 0, true);
        } else if (ch == L'{') {
            const size_t end = keys.find(L'}', i);
            std::wstring name = keys.substr(i + 1, end - i - 1);
            const bool shift = !name.empty() && name[0] == L'+';
            press(named_key(shift ? name.substr(1) : name), shift, false);
            i = end;
        } else {
            const SHORT scan = VkKeyScanW(ch);
            press(LOBYTE(scan), (HIBYTE(scan) & 1) != 0, (HIBYTE(scan) & 2) != 0);
        }
    }
}

void click_at(POINT screen, bool right) {
    // Every event carries the point: a move of the X server's pointer still in flight cannot
    // take the click elsewhere, and nothing is pumped here (a step may run inside a modal loop).
    INPUT inputs[3] = {};
    const DWORD down = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    const DWORD up = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    const DWORD flags[] = {0, down, up};
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        inputs[i].mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    SendInput(3, inputs, sizeof(INPUT));
}

HWND window_in_front() {
    return GetForegroundWindow();
}

bool centre_of_child(IAccessible* acc, long child, POINT& centre) {
    long x = 0, y = 0, w = 0, h = 0;
    if (acc->accLocation(&x, &y, &w, &h, child_id(child)) != S_OK) return false;
    centre = {x + w / 2, y + h / 2};
    return true;
}

Readout readout_read(HWND window) {
    ComPtr<IAccessible> acc = client_object(window);
    if (!acc) return {L"(no accessible object)"};
    for (long c = 1, n = child_count(acc.get()); c <= n; ++c) {
        VARIANT role = {};
        if (acc->get_accRole(child_id(c), &role) != S_OK || role.lVal != ROLE_SYSTEM_STATICTEXT)
            continue;
        Readout seen = {child_text(acc.get(), c, &IAccessible::get_accValue)};
        if (!seen.text.empty() && centre_of_child(acc.get(), c, seen.centre)) return seen;
    }
    return {L"(no readout)"};
}

bool child_centre(HWND window, const std::wstring& name, POINT& centre) {
    ComPtr<IAccessible> acc = client_object(window);
    if (!acc) return false;
    for (long c = 1, n = child_count(acc.get()); c <= n; ++c) {
        if (child_text(acc.get(), c, &IAccessible::get_accName) == name)
            return centre_of_child(acc.get(), c, centre);
    }
    return false;
}

namespace {

struct NamedWindowSearch {
    const std::wstring& name;
    HWND found;
};

BOOL CALLBACK find_named_window(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<NamedWindowSearch*>(param);
    if (!IsWindowVisible(hwnd)) return TRUE;
    ComPtr<IAccessible> acc = client_object(hwnd);
    if (acc && child_text(acc.get(), CHILDID_SELF, &IAccessible::get_accName) == search->name)
        search->found = hwnd;
    return !search->found;
}

}  // namespace

HWND window_named(const std::wstring& name) {
    NamedWindowSearch search{name, nullptr};
    EnumWindows(find_named_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool menu_shown() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

bool menu_item_centre(const std::wstring& name, POINT& centre) {
    constexpr UINT kGetMenu = 0x01E1;  // MN_GETHMENU: the menu a popup window shows
    const HWND window = FindWindowW(L"#32768", nullptr);
    const auto menu =
        window ? reinterpret_cast<HMENU>(SendMessageW(window, kGetMenu, 0, 0)) : nullptr;
    for (int i = 0, n = menu ? GetMenuItemCount(menu) : 0; i < n; ++i) {
        wchar_t text[64] = L"";
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        RECT r = {};
        if (std::wstring(text).substr(0, name.size() + 1) != name + L"\t" && text != name) continue;
        if (!GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r)) return false;
        centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        return true;
    }
    return false;
}

}  // namespace z5calc
