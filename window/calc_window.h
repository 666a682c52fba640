#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "calculation.h"
#include "gdi_handles.h"
#include "handles.h"
#include "dpi_scale.h"
#include "key_table.h"
#include "key_tooltips.h"
#include "accessible_slot.h"
#include "calc_accessible.h"
#include "calc_window_host.h"
#include "context_menu.h"
#include "control.h"
#include "layout.h"
#include "picture.h"
#include "rate_mark.h"
#include "scaled_art.h"
#include "settings_store.h"
#include "subclass.h"
#include "tape_window.h"
#include "window_base.h"
#include "window_twips.h"

namespace z5calc {

// The calculator window frmCalc. The object lives as long as the component and keeps the
// calculator state; the window itself exists from load() to unload(). Its members are split by
// concern: lifecycle, activation and message routes (calc_window.cpp), layout (calc_layout.cpp),
// mouse and keyboard (calc_input.cpp), the transfer and the version box (calc_actions.cpp),
// painting (calc_paint.cpp).
// Whether the user has a contrast theme on.
bool high_contrast_on() noexcept;

class CalcWindow final : public WindowBase,
                         public CalculationDisplay,
                         public MessageCallback,
                         public AccessibleWindow,
                         public CommandTarget {
  public:
    static constexpr int kClientWidth = 210;
    static constexpr int kClientHeight = 273;
    static constexpr std::int32_t kDragColor = 0x50C050;
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
    bool transfer_key_visible() const noexcept { return key(KeyId::Trans).Visible; }

    Calculation& calculation() noexcept { return calculation_; }
    const Calculation& calculation() const noexcept { return calculation_; }

    // The keys in the key table's order, and the three controls that are no keys: the readout,
    // the memory mark "M" (lblMem) and the hidden copy of the skin the hit test reads (picWk).
    const std::array<Control, kKeyCount>& keys() const noexcept { return keys_; }
    const Control& key(KeyId id) const noexcept { return keys_[static_cast<std::size_t>(id)]; }
    const Control& Readout() const noexcept { return readout_; }
    const Control& lblMem() const noexcept { return lblMem_; }
    const Control& picWk() const noexcept { return picWkBox_; }

    // The DPI the window is laid out for, and its client area there.
    int dpi() const noexcept { return dpi_; }
    int client_width() const noexcept { return scaled(kClientWidth, dpi_); }
    int client_height() const noexcept { return scaled(kClientHeight, dpi_); }
    // Whether the window draws itself for a contrast theme.
    bool contrast_theme() const noexcept { return contrast_; }
    // Whether the art at this DPI is drawn for it (always at 96 DPI).
    bool art_drawn() const noexcept { return dpi_ == kBaseDpi || art_.drawn(); }

    std::int32_t charWidth() const noexcept { return charWidth_; }
    std::int32_t charHeight() const noexcept { return charHeight_; }
    HFONT readout_font() const noexcept { return readoutFont_.get(); }
    HFONT mem_font() const noexcept { return memFont_.get(); }
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
    AccessiblePart key_part(KeyId id) const noexcept override { return part_of(key(id)); }
    AccessiblePart readout_part() const noexcept override { return part_of(readout_); }
    AccessiblePart mem_mark_part() const noexcept override { return part_of(lblMem_); }
    std::string_view readout_text() const noexcept override { return calculation_.readout(); }
    AccessiblePart rate_switch_part() const noexcept override;
    std::wstring tax_rate_text() const override;
    bool rate_just_switched() const noexcept override { return rateJustSwitched_; }

    // The tooltip window of the keys, made when the mouse first moves over the window, or null.
    HWND tooltips() const noexcept { return tooltips_.window(); }
    // The colour of the skin copy at client (x, y), or -1 outside it.
    std::int32_t picWk_color(int x, int y) const noexcept { return picWkPixels_.color_at(x, y); }

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
    // Set just before a modal display; the first activation clears it.
    bool firstActivate = false;
    int helpContextID = 0;
    std::wstring helpFile;

    static AccessiblePart part_of(const Control& c) noexcept { return {c.rect(), c.Visible}; }
    // Each key's rectangle, empty for a hidden key: where its tooltip answers.
    std::array<RECT, kKeyCount> key_rects() const noexcept;
    LRESULT handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    // What the calculation tells its views.
    void beep() noexcept override;
    void readout_changed(const CalcState& state) noexcept override;
    void mem_mark_changed(bool shown) noexcept override;
    void rate_changed(TaxRateKind kind, double rate) noexcept override;
    void transferred(double value) noexcept override;
    // The rate mark and the tax keys' tooltips show the rate in use.
    void show_tax_rate() noexcept;

    // calc_layout.cpp
    void create_controls() noexcept;
    void measure_character() noexcept;
    void arrange_keys() noexcept;
    // Takes the art and the outline for `dpi` (96 uses the resources as they are).
    void take_scale(int dpi) noexcept;
    void apply_region() noexcept;
    void place_picWk() noexcept;
    // WM_DPICHANGED: laid out again at the new DPI, at the place the system suggests.
    void dpi_changed(int dpi, const RECT& suggested) noexcept;
    Control& control_of(KeyId id) noexcept { return keys_[static_cast<std::size_t>(id)]; }

    // calc_input.cpp
    std::optional<KeyId> key_at(POINT p) const noexcept;
    bool hit_test_control(POINT p) const noexcept;
    void mouse_down(POINT p) noexcept;
    void mouse_double_click(POINT p) noexcept;
    void mouse_up(int button, WPARAM keys, POINT p) noexcept;
    void capture_lost() noexcept;
    void key_down(KeyId id) noexcept;
    void key_up(KeyId id, int button, int shift) noexcept;
    void key_double_click(KeyId id) noexcept;
    void key_click(KeyId id) noexcept;
    void show_pressed(KeyId id, const Picture& picture) noexcept;
    // The pictures of a key at the window's scale.
    Picture pressed_picture(KeyId id) const noexcept;
    HBITMAP skin_face(HDC target) noexcept;
    void draw_skin(HDC target, HDC dc) noexcept;
    Picture transfer_rest_picture() const noexcept;

    void transfer_click() noexcept;

    // calc_window.cpp
    void activated() noexcept;
    bool still_shown() const noexcept;

    // A key pressed (WM_KEYDOWN) that clicks a key or copies or pastes; false for others.
    bool shortcut(WPARAM vk) noexcept;

    // calc_contrast.cpp: the contrast theme, read again when the system's colours change.
    void contrast_changed() noexcept;
    void make_label_fonts() noexcept;
    bool shows_pressed(KeyId id) const noexcept;
    void paint_contrast(HDC dc) noexcept;
    UniqueHrgn client_outline() const noexcept;

    // calc_paint.cpp
    void invalidate(const RECT& r) noexcept;
    void paint(HDC target) noexcept;
    void draw_readout(HDC dc) noexcept;
    void draw_mem_mark(HDC dc) noexcept;
    // The width the readout's text may take: less while the rate mark is shown beside it.
    int readout_room() const noexcept;
    HFONT readout_font_for(HDC dc, const wchar_t* text, int length) noexcept;

    Calculation& calculation_;
    HMODULE resources_ = nullptr;
    CalcWindowHost* host_ = nullptr;
    WindowMetrics metrics_;
    Picture skin_;
    // skin_ as the display's bitmap, kept between loads, and the art it was made from.
    UniqueHbitmap skinFace_;
    std::pair<HMODULE, int> skinFaceOf_;
    int dpi_ = kBaseDpi;
    ScaledArt art_;  // the art at dpi_, unless that is 96; kept between loads
    PixelCopy picWkPixels_;
    std::array<Control, kKeyCount> keys_;
    Control readout_;
    Control lblMem_;
    Control picWkBox_;  // the skin's work copy: hidden, outside the client area
    KeyTooltips tooltips_;
    AccessibleSlot<CalcAccessible, AccessibleWindow> accessible_;
    CalcAccessible* accessible() noexcept;
    bool liveRegion_ = false;
    bool rateJustSwitched_ = false;
    TapeWindow tapeWindow_;
    bool tapeWanted_ = false;
    RateMark rateMark_;
    FieldRects field_{};
    void tape_follows(const WINDOWPOS& pos) noexcept;
    POINT on_screen(const RECT& suggested) const noexcept;
    void show_context_menu(std::optional<POINT> screen) noexcept;
    // Tells screen readers that a child of the client area changed.
    void notify(DWORD event, long child) const noexcept;
    UniqueHfont readoutFont_;
    UniqueHfont memFont_;
    bool contrast_ = false;  // a contrast theme is on: drawn without pictures
    UniqueHfont labelFont_;  // the keys' labels then
    UniqueHfont smallLabelFont_;
    // The readout's font shrunk for a text the seed font cannot fit, and its height.
    UniqueHfont fitFont_;
    int fitHeight_ = 0;
    std::int32_t charWidth_ = 0;
    std::int32_t charHeight_ = 0;
    std::optional<KeyId> pressed_;  // the key that has the mouse captured
    bool clickSpent_ = false;       // the held press is a double-click's second: no click follows
};

}  // namespace z5calc
