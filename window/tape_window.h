#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "gdi_handles.h"
#include "accessible_slot.h"
#include "calculation.h"
#include "tape_accessible.h"
#include "tape_place.h"
#include "window_base.h"

namespace z5calc {

// The tape beside the calculator: a drawn list of its lines in the readout's font, the newest
// at the bottom and in view. It never takes the activation: the keyboard stays with the
// calculator, which scrolls it; the wheel scrolls it too. It belongs to (is owned by) the
// calculator window: made at its first showing, hidden between showings, destroyed with it.
class TapeWindow final : public WindowBase, public CalculationDisplay, public AccessibleTape {
  public:
    static constexpr int kWidth = 210, kHeight = 150;  // at 96 DPI

    TapeWindow() noexcept : accessible_(*this) {}
    ~TapeWindow() { destroy(); }
    TapeWindow(const TapeWindow&) = delete;
    TapeWindow& operator=(const TapeWindow&) = delete;

    // Shows the tape of `calculation` beside `owner`, off the host's fields (screen pixels),
    // and follows it while shown. False when the window cannot be made.
    bool show(HWND owner, Calculation& calculation, const FieldRects& field, HFONT numberFont,
              int dpi, bool contrast) noexcept;
    void hide() noexcept;
    void destroy() noexcept;
    bool shown() const noexcept override;

    // The calculator moved, or changed its scale or theme.
    void follow() noexcept;
    void set_look(HFONT numberFont, int dpi, bool contrast) noexcept;
    // Scrolls by lines (negative: towards the oldest); a page is the lines in view.
    void scroll(int lines) noexcept;
    // A key the calculator passes on while the tape is shown: true for one that scrolls it.
    bool scroll_key(WPARAM vk, bool ctrl) noexcept;
    int page() const noexcept;
    // The line a correction works on (counted as Tape::number_of counts), marked and kept in
    // view; `typed`, once the user typed, in place of its number. None: no line marked.
    void mark_line(std::optional<std::uint64_t> line, const ReadoutText* typed) noexcept;

    // The first line in view and how many lines the tape holds (for tests and screen readers).
    std::size_t first_line() const noexcept { return first_; }
    std::size_t line_count() const noexcept override { return tape_ ? tape_->size() : 0; }
    HWND client_window() const noexcept override { return hwnd(); }
    TapeLine line(std::size_t i) const noexcept override;
    bool line_rect(std::size_t i, RECT& r) const noexcept override;
    std::optional<std::size_t> marked_line() const noexcept override;

  private:
    LRESULT handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    void paint(HDC dc) noexcept;
    void make_fonts(HFONT numberFont) noexcept;
    int line_height() const noexcept;
    // New lines or a clear: the newest line comes into view, and screen readers hear what
    // changed as a list tells it: lines gone from the front, lines added.
    void tape_lines_added(const Tape& tape, std::size_t added,
                          std::size_t dropped) noexcept override;
    void tape_cleared() noexcept override;
    // A correction: every line may read anew.
    void tape_rewritten(const Tape& tape) noexcept override;
    void line_clicked(POINT p) noexcept;
    void newest_in_view() noexcept;
    void stop_following() noexcept;

    HWND owner_ = nullptr;
    Calculation* calculation_ = nullptr;  // followed while shown
    const Tape* tape_ = nullptr;
    FieldRects field_{};
    int dpi_ = 96;
    bool contrast_ = false;
    std::size_t first_ = 0;
    std::optional<std::uint64_t> marked_;
    ReadoutText typed_;
    bool hasTyped_ = false;
    AccessibleSlot<TapeAccessible, const AccessibleTape> accessible_;
    UniqueHfont numberFont_, keyFont_;
    int wheelRest_ = 0;
};

// The tape steps aside while a message is up, so that it covers none of it, and comes back
// after where it was.
class TapeAside {
  public:
    explicit TapeAside(const TapeWindow& tape) noexcept
        : tape_(tape),
          window_(tape.hwnd() && IsWindowVisible(tape.hwnd()) ? tape.hwnd() : nullptr) {
        if (window_) ShowWindow(window_, SW_HIDE);
    }
    // Unless the tape went meanwhile (the calculator closed under the message).
    ~TapeAside() {
        if (window_ && tape_.hwnd() == window_) ShowWindow(window_, SW_SHOWNOACTIVATE);
    }
    TapeAside(const TapeAside&) = delete;
    TapeAside& operator=(const TapeAside&) = delete;

  private:
    const TapeWindow& tape_;
    HWND window_;
};

}  // namespace z5calc
