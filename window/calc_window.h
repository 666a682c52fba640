#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "accessible_slot.h"
#include "calc_accessible.h"
#include "calc_face.h"
#include "calc_window_host.h"
#include "calculation.h"
#include "context_menu.h"
#include "key_tooltips.h"
#include "subclass.h"
#include "tape_window.h"
#include "window_base.h"

namespace z5calc {

// The calculator window frmCalc, a view of the calculation: it shows its face, answers the
// mouse, the keyboard and screen readers, and draws and announces what the calculation tells.
// The object lives as long as the component; the window exists from load() to unload().
// Lifecycle and the calculation's events in calc_window.cpp, messages, activation and the DPI
// in calc_messages.cpp, mouse, keyboard and commands in calc_input.cpp, corrections in
// calc_correction.cpp.

class CalcWindow final : public WindowBase,
                         public CalculationDisplay,
                         public MessageCallback,
                         public AccessibleWindow,
                         public CommandTarget {
  public:
    static constexpr wchar_t kModalTag[] = L"modal";

    // The window is a view of `calculation`, which must outlive it.
    explicit CalcWindow(Calculation& calculation) noexcept
        : calculation_(calculation), accessible_(*this) {}
    ~CalcWindow();
    CalcWindow(const CalcWindow&) = delete;
    CalcWindow& operator=(const CalcWindow&) = delete;

    // Creates the window hidden, with its controls laid out, its outline, its hook and the copy
    // of its skin. Resources (skin, key bitmaps, region, icon, version) come from `resources`.
    // False, with nothing left behind, when the window cannot be created.
    // With a host, the window takes its saved position, saves it at a real close and hands
    // transfers and messages to the host, which must outlive the loaded window.
    bool load(HMODULE resources, WindowMetrics metrics, CalcWindowHost* host = nullptr) noexcept;
    // The real close: with a host it saves the position and runs the companion's close step;
    // then it removes the hook and destroys the window. The calculator state stays.
    void unload() noexcept;
    // A close request (OFF, Esc, a transfer, the system's close): hides the window while it is
    // shown modally, which ends the display, and closes it for real otherwise.
    void close_request() noexcept;
    // A typed character, as the keyboard gives it.
    void key_press(wchar_t ch) noexcept;

    // F8, a click on the rate mark, a screen reader's action: the tax keys use the other rate.
    void switch_tax_rate() noexcept override;

    // The commands beside the keys: the context menu's, each also a shortcut.
    bool command_checked(Command command) const noexcept override;
    bool command_enabled(Command command) const noexcept override;
    void run_command(Command command) noexcept override;

    // The tape beside the calculator (Ctrl+H), kept off the host's field as given and off the
    // control that had the keyboard (screen pixels).
    void set_field(const RECT& given, const RECT& focused) noexcept {
        field_ = {{given.left, given.top, given.right, given.bottom},
                  {focused.left, focused.top, focused.right, focused.bottom}};
    }
    void toggle_tape() noexcept;
    const TapeWindow& tape_window() const noexcept { return tapeWindow_; }

    // The transfer key is hidden at load; the calculator call shows it.
    void show_transfer_key(bool visible) noexcept;
    bool transfer_key_visible() const noexcept { return face_.key(KeyId::Trans).Visible; }

    Calculation& calculation() noexcept { return calculation_; }
    const Calculation& calculation() const noexcept { return calculation_; }
    const CalcFace& face() const noexcept { return face_; }

    // The key the mouse holds down, if any.
    std::optional<KeyId> pressed_key() const noexcept override { return pressed_; }
    // Whether the readout is marked as a live region: done when a screen reader first asks for
    // the client area (false before, and where the service is missing).
    bool live_region() const noexcept { return liveRegion_; }
    // The client area's object for screen readers, with a reference for the caller; null
    // without a window. WM_GETOBJECT hands it out the same way.
    IAccessible* accessible_object() noexcept;
    // Clicks a key that is shown, as the mouse would (screen readers' default action).
    bool click_key(KeyId id) noexcept override;
    // The rest of what screen readers reach.
    HWND client_window() const noexcept override { return hwnd(); }
    AccessiblePart key_part(KeyId id) const noexcept override { return part_of(face_.key(id)); }
    AccessiblePart readout_part() const noexcept override { return part_of(face_.Readout()); }
    AccessiblePart mem_mark_part() const noexcept override { return part_of(face_.lblMem()); }
    std::string_view readout_text() const noexcept override { return calculation_.readout(); }
    AccessiblePart rate_switch_part() const noexcept override;
    std::wstring tax_rate_text() const override;
    bool rate_just_switched() const noexcept override { return rateJustSwitched_; }
    AccessiblePart mark_part(long child) const noexcept override;
    std::wstring grand_total_value() const override;
    std::wstring rounding_value() const override;

    // 訂正: F2 or a click on a tape line selects a number the user typed; Up and Down move among
    // them; typing (digits, ., 00, 000, ±, ←) replaces it; Enter corrects the calculation with
    // it, Esc leaves it as it was. Meanwhile the keys work on the line, not the calculation.
    // The line being corrected, if any.
    std::optional<std::uint64_t> correcting() const noexcept {
        return correction_ ? std::optional(correction_->line) : std::nullopt;
    }

    // The tooltip window of the keys, made when the mouse first moves over the window, or null.
    HWND tooltips() const noexcept { return tooltips_.window(); }

    // The message hook's routine (subclass.h): the skin's drag colour and the keys' hit test.
    LRESULT mCallBackWindow(HWND hw, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept override;

    // WM_ACTIVATE's state (WA_ACTIVE, WA_CLICKACTIVE, ... and the minimized flag).
    void on_activate(WPARAM state) noexcept;
    // Shows the window modally until it is hidden (a transfer, OFF, Esc) or destroyed; gives
    // what the user transferred, nothing when the window closed without a transfer.
    std::optional<double> show_modally() noexcept;
    // The help F1 opens: a topic of a help file.
    void set_help(const std::wstring& file, int topic) {
        helpFile = file;
        helpContextID = topic;
    }

    // kModalTag while the calculator call shows the window modally, empty otherwise.
    std::wstring Tag;
    bool shown_modally() const noexcept { return Tag == kModalTag; }

  private:
    static AccessiblePart part_of(const Control& c) noexcept { return {c.rect(), c.Visible}; }
    // What the calculation tells its views.
    void beep() noexcept override;
    void readout_changed(const CalcState& state) noexcept override;
    void mem_mark_changed(bool shown) noexcept override;
    void rate_changed(TaxRateKind kind, double rate) noexcept override;
    void grand_total_changed(double total) noexcept override;
    void transferred(double value) noexcept override;
    // The rate mark and the tax keys' tooltips show the rate in use.
    void show_tax_rate() noexcept;
    // The grand total's and the rounding's marks, the latter's tooltip.
    void show_marks() noexcept;
    void invalidate(const RECT& r) noexcept {
        if (hwnd()) InvalidateRect(hwnd(), &r, FALSE);
    }
    // Tells screen readers that a child of the client area changed.
    void notify(DWORD event, long child) const noexcept;
    CalcAccessible* accessible() noexcept;

    // calc_messages.cpp
    LRESULT handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    // Lays the face out for the window and sizes the window to it.
    void lay_out() noexcept;
    void activated() noexcept;
    bool still_shown() const noexcept;
    // WM_DPICHANGED: laid out again at the new DPI, at the place the system suggests.
    void dpi_changed(int dpi, const RECT& suggested) noexcept;
    POINT on_screen(const RECT& suggested) const noexcept;
    // The theme may go on or off, or change its colours, while the window is shown.
    void contrast_changed() noexcept;
    void tape_follows(const WINDOWPOS& pos) noexcept;
    bool show_tape() noexcept {
        return tapeWindow_.show(hwnd(), calculation_, field_, face_.readout_font(), face_.dpi(),
                                face_.contrast_theme());
    }

    // calc_input.cpp
    // A key pressed (WM_KEYDOWN) that clicks a key or runs a command; false for others.
    bool shortcut(WPARAM vk) noexcept;
    void mouse_down(POINT p) noexcept;
    void mouse_double_click(POINT p) noexcept;
    void mouse_up(int button, WPARAM keys, POINT p) noexcept;
    void capture_lost() noexcept;
    void key_down(KeyId id) noexcept;
    void key_up(KeyId id, int button, int shift) noexcept;
    void key_double_click(KeyId id) noexcept;
    void key_click(KeyId id) noexcept;
    void show_pressed(KeyId id, const Picture& picture) noexcept;
    void transfer_click() noexcept;
    void show_context_menu(std::optional<POINT> screen) noexcept;

    // calc_correction.cpp
    struct Correction {
        std::uint64_t line = 0;
        std::array<Key, 24> keys{};  // typed in place of the line's number
        std::size_t count = 0;
    };
    // At `line`, or the newest correctable line; the tape shows with it.
    void start_correction(std::optional<std::uint64_t> line) noexcept;
    void move_correction(int direction) noexcept;
    // A key while correcting: typing keys edit, =, Enter and 転記 correct, OFF and Esc cancel.
    void correction_key(KeyId id) noexcept;
    void end_correction(bool commit) noexcept;
    void show_correction() noexcept;
    // Keys held while correcting that are no calculator key's: Up, Down, Enter; true if used.
    bool correction_shortcut(WPARAM vk) noexcept;
    void tape_line_clicked(std::size_t index) noexcept;
    void tape_lines_added(const Tape& tape, std::size_t added,
                          std::size_t dropped) noexcept override;
    void tape_cleared() noexcept override;

    Calculation& calculation_;
    CalcWindowHost* host_ = nullptr;
    CalcFace face_;
    KeyTooltips tooltips_;
    AccessibleSlot<CalcAccessible, AccessibleWindow> accessible_;
    bool liveRegion_ = false;
    bool rateJustSwitched_ = false;
    TapeWindow tapeWindow_;
    bool tapeWanted_ = false;
    bool tapeDue_ = false;  // wanted and not yet shown with the calculator: at its first paint
    std::optional<Correction> correction_;
    FieldRects field_{};
    std::optional<KeyId> pressed_;  // the key that has the mouse captured
    bool clickSpent_ = false;       // the held press is a double-click's second: no click follows
    // Set just before a modal display; the first activation clears it.
    bool firstActivate = false;
    int helpContextID = 0;
    std::wstring helpFile;
};

}  // namespace z5calc
