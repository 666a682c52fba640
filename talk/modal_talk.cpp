#include "modal_talk.h"

#include <cmath>

#include "app_messages.h"
#include "modal.h"

namespace z5calc {
namespace {

constexpr wchar_t kClassName[] = L"z5calc.frmModalTalk";
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchMs = 200;

}  // namespace

ModalTalkWindow::~ModalTalkWindow() {
    unload();
}

bool ModalTalkWindow::load(HMODULE resources) noexcept {
    if (hwnd()) return true;
    // One pixel wide and high, borderless: there, but practically invisible.
    if (!create_window(kClassName, CS_DBLCLKS, WS_EX_TOOLWINDOW, WS_POPUP, L"", 0, 0, 1, 1,
                       nullptr)) {
        return false;
    }
    if (auto icon =
            static_cast<HICON>(LoadImageW(resources, L"MASCOT", IMAGE_ICON, 32, 32, LR_SHARED))) {
        SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }
    return true;
}

void ModalTalkWindow::unload() noexcept {
    if (HWND window = hwnd()) {
        KillTimer(window, kWatchTimer);
        DestroyWindow(window);
    }
}

void ModalTalkWindow::move_to(double x, double y) noexcept {
    SetWindowPos(hwnd(), nullptr, static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)),
                 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::int16_t ModalTalkWindow::msgbox4(HWND, std::wstring_view msg, std::int16_t icon,
                                      TalkLink& link) noexcept {
    HWND focus = GetFocus();
    try {
        msgText = msg;
    } catch (...) {
        msgText.clear();
    }
    msgStyle = icon;
    link_ = &link;
    sent_ = false;
    unanswered = false;
    // The wait also ends when the companion's window goes away without answering.
    SetTimer(hwnd(), kWatchTimer, kWatchMs, nullptr);
    run_modal(hwnd());
    unload();
    link_ = nullptr;
    if (focus && IsWindow(focus)) SetFocus(focus);
    return talkReply;
}

LRESULT ModalTalkWindow::handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && modestr == L"talkzel" && !sent_) {
                sent_ = true;
                PostMessageW(hwnd(), kSendToCompanionMessage, 0, 0);
            }
            break;
        case kSendToCompanionMessage:
            if (link_ &&
                !TalkSend(*link_, companion::kPresent, hwnd(), msgText, msgStyle, 0, 0, L"")) {
                end_wait(false);
            }
            return 0;
        case WM_LBUTTONDBLCLK:
            if (link_ && link_->talkWnd) {
                auto answer = reinterpret_cast<INT_PTR>(GetPropW(link_->talkWnd, companion::kSel));
                talkReply = static_cast<std::int16_t>(answer);
            }
            end_wait(true);
            return 0;
        case WM_KEYDOWN:
            // Nothing of the companion's to answer in: the user gives up waiting for it.
            if (wParam == VK_ESCAPE) end_wait(false);
            return 0;
        case WM_TIMER:
            if (wParam != kWatchTimer || !link_) return 0;
            // A companion gone leaves the previous answer; one that stopped pumping its
            // messages will not answer at all.
            if (!link_->talkWnd || !IsWindow(link_->talkWnd)) {
                end_wait(true);
            } else if (IsHungAppWindow(link_->talkWnd)) {
                end_wait(false);
            }
            return 0;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

void ModalTalkWindow::end_wait(bool answered) noexcept {
    if (!answered) unanswered = true;
    ShowWindow(hwnd(), SW_HIDE);  // ends the modal wait
}

}  // namespace z5calc
