#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calculator.h"
#include "gdi_handles.h"
#include "layout.h"
#include "picture.h"
#include "settings_store.h"
#include "subclass.h"
#include "window_base.h"

namespace z5calc {

enum class ControlKind : std::uint8_t { Image, Label, PictureBox };

// What a key control does when clicked; None for the labels and the work picture.
enum class KeyRole : std::uint8_t {
    Number,
    Decimal,
    Inv,
    Bs,
    Operator,
    Mem,
    Tax,
    Cancel,
    Trans,
    None
};

// One control of the calculator window. None has a window of its own: the window draws them and
// routes the mouse to them. An image control takes its picture's size when given one and keeps
// its size when the picture is cleared; it receives the mouse over its whole rectangle.
struct Control {
    const wchar_t* Name = L"";
    std::wstring Tag;
    int Index = -1;  // the element of a control array, or -1 for a single control
    ControlKind kind = ControlKind::Image;
    KeyRole role = KeyRole::None;
    bool Visible = true;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    Picture picture;

    bool contains(POINT p) const noexcept {
        return p.x >= Left && p.x < Left + Width && p.y >= Top && p.y < Top + Height;
    }
    RECT rect() const noexcept { return {Left, Top, Left + Width, Top + Height}; }
    void set_picture(const Picture& p) noexcept {
        picture = p;
        if (p) {
            Width = p.width();
            Height = p.height();
        }
    }
};

// Twips per pixel recorded at the component's start-up.
struct WindowMetrics {
    std::int32_t twipsX = 15;
    std::int32_t twipsY = 15;
};

// What the calculator window needs of the component around it.
class CalcWindowHost {
  public:
    // The settings whose [Window] section keeps the window's position.
    virtual SettingsStore& settings() noexcept = 0;
    // An accepted transfer: the value the calculator call returns.
    virtual void transfer_value(double value) noexcept = 0;
    // The component's message routine; returns the answer.
    virtual std::int16_t message_box(HWND owner, const std::wstring& text,
                                     std::int16_t style) noexcept = 0;
    // The companion's part in a real close.
    virtual void talk_close() noexcept = 0;

  protected:
    ~CalcWindowHost() = default;
};

// The calculator window frmCalc. The object lives as long as the component and keeps the
// calculator state; the window itself exists from load() to unload().
class CalcWindow final : public WindowBase, public CalcDisplay, public MessageCallback {
  public:
    static constexpr int kClientWidth = 210;
    static constexpr int kClientHeight = 273;
    static constexpr std::int32_t kDragColor = 0x50C050;

    CalcWindow() noexcept = default;
    ~CalcWindow();

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

    // The transfer key is hidden at load; the calculator call shows it.
    void show_transfer_key(bool visible) noexcept;

    Calculator& calculator() noexcept { return calc_; }
    const Calculator& calculator() const noexcept { return calc_; }
    const std::vector<Control>& controls() const noexcept { return controls_; }
    // The control with that name and index (-1 for a single control), or null.
    const Control* find(std::wstring_view name, int index = -1) const noexcept;

    std::int32_t charWidth() const noexcept { return charWidth_; }
    std::int32_t charHeight() const noexcept { return charHeight_; }
    HFONT readout_font() const noexcept { return readoutFont_.get(); }
    HFONT mem_font() const noexcept { return memFont_.get(); }
    // The colour of the skin copy at client (x, y), or -1 outside it.
    std::int32_t picWk_color(int x, int y) const noexcept { return picWk_.color_at(x, y); }

    LRESULT mCallBackWindow(HWND hw, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept override;

    bool transfer_key_visible() const noexcept;

    // "modal" while the calculator call shows the window modally, empty otherwise.
    std::wstring Tag;
    // Set just before a modal display; the first activation clears it.
    bool firstActivate = false;
    // The help topic F1 opens in `helpFile`.
    int helpContextID = 0;
    std::wstring helpFile;

  private:
    LRESULT handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    void beep() noexcept override;
    void display_changed(const CalcState& state) noexcept override;

    void create_controls();
    void measure_character() noexcept;
    void arrange_keys() noexcept;
    Control& control(std::wstring_view name, int index = -1) noexcept;

    int key_at(POINT p) const noexcept;
    void mouse_down(POINT p) noexcept;
    void mouse_double_click(POINT p) noexcept;
    void mouse_up(int button, WPARAM keys, POINT p) noexcept;
    void capture_lost() noexcept;

    void key_down(Control& key) noexcept;
    void key_up(Control& key, int button, int shift) noexcept;
    void key_double_click(Control& key) noexcept;
    void key_click(const Control& key) noexcept;
    void show_pressed(Control& key, const wchar_t* name) noexcept;
    void show_version() noexcept;
    void transfer_click() noexcept;
    void activated() noexcept;
    bool still_shown() const noexcept;
    // Where the window goes at load: the saved position, or centred on the screen without one.
    std::optional<TwipsBox> saved_place(float width, float height) noexcept;
    void save_position() noexcept;

    void invalidate(const RECT& r) noexcept;
    void paint(HDC target) noexcept;

    Calculator calc_{*this};
    HMODULE resources_ = nullptr;
    CalcWindowHost* host_ = nullptr;
    WindowMetrics metrics_;
    Picture skin_;
    PixelCopy picWk_;
    std::vector<Control> controls_;
    UniqueHfont readoutFont_;
    UniqueHfont memFont_;
    std::int32_t charWidth_ = 0;
    std::int32_t charHeight_ = 0;
    int pressed_ = -1;         // the key that has the mouse captured, or -1
    bool clickSpent_ = false;  // the held press is a double-click's second: no click follows
};

}  // namespace z5calc
