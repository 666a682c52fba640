#include "calc_window.h"

namespace z5calc {

void CalcWindow::start_correction(std::optional<std::uint64_t> line) noexcept {
    if (!hwnd()) return;
    if (!line) line = calculation_.correctable_line(std::nullopt, -1);
    if (!line || !calculation_.correctable(*line)) {
        beep();  // nothing typed in this calculation to correct
        return;
    }
    if (!tapeWindow_.shown()) {
        tapeWanted_ = true;
        if (!show_tape()) {
            tapeWanted_ = false;
            beep();
            return;
        }
    }
    correction_ = Correction{*line};
    show_correction();
}

void CalcWindow::move_correction(int direction) noexcept {
    const std::optional<std::uint64_t> next =
        correction_->count == 0 ? calculation_.correctable_line(correction_->line, direction)
                                : std::nullopt;
    // A typed number is kept until Enter or Esc says what becomes of it.
    if (!next) {
        beep();
        return;
    }
    correction_->line = *next;
    show_correction();
}

void CalcWindow::correction_key(KeyId id) noexcept {
    const KeyRow& row = key_spec(id);
    if (row.role == KeyRole::Off) {
        end_correction(false);
        return;
    }
    if (row.role == KeyRole::Trans || row.engine == Key{KeyGroup::Operator, kOperatorEquals}) {
        end_correction(true);
        return;
    }
    Correction& c = *correction_;
    if (row.role != KeyRole::Calc || !types_number(row.engine) || c.count == c.keys.size()) {
        beep();
        return;
    }
    c.keys[c.count++] = row.engine;
    show_correction();
}

void CalcWindow::end_correction(bool commit) noexcept {
    if (!correction_) return;
    const Correction c = *correction_;
    correction_.reset();
    tapeWindow_.mark_line(std::nullopt, nullptr);
    if (commit && c.count > 0 && !calculation_.correct(c.line, {c.keys.data(), c.count})) beep();
}

void CalcWindow::show_correction() noexcept {
    const Correction& c = *correction_;
    if (c.count == 0) {
        tapeWindow_.mark_line(c.line, nullptr);
        return;
    }
    const ReadoutText typed = Calculation::typed_readout({c.keys.data(), c.count});
    tapeWindow_.mark_line(c.line, &typed);
}

bool CalcWindow::correction_shortcut(WPARAM vk) noexcept {
    if (!correction_) return false;
    switch (vk) {
        case VK_UP:
        case VK_DOWN:
            move_correction(vk == VK_UP ? -1 : 1);
            return true;
        default:
            return false;
    }
}

void CalcWindow::tape_line_clicked(std::size_t index) noexcept {
    const Tape& tape = calculation_.tape();
    if (index >= tape.size()) return;
    const std::uint64_t line = tape.number_of(index);
    if (!calculation_.correctable(line) || (correction_ && correction_->count > 0)) {
        beep();
        return;
    }
    start_correction(line);
}

// Lines the correction works on may go: the oldest dropped from a full tape, or all cleared.
void CalcWindow::tape_lines_added(const Tape&, std::size_t, std::size_t) noexcept {
    if (correction_ && !calculation_.correctable(correction_->line)) end_correction(false);
}

void CalcWindow::tape_cleared() noexcept {
    end_correction(false);
}

}  // namespace z5calc
