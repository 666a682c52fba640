#include "calculation.h"

#include <new>

#include "number_text.h"

// The calculation's steps since its start: worked again after a correction (訂正), and the
// grand total they add to.
namespace z5calc {

void Calculation::work(Step step) noexcept {
    step.line = tape().recorded();
    run(step);
    // The calculation starts anew after AC, and where its steps would grow without end.
    const bool allClear =
        step.kind == Step::Kind::Press && step.key == Key{KeyGroup::Operator, kOperatorAC};
    if (allClear || stepCount_ >= kMaxSteps) {
        restart_chain();
        return;
    }
    if (!steps_) {
        steps_.reset(new (std::nothrow) Step[kMaxSteps]);
        undo_.reset(new (std::nothrow) Step[kMaxSteps]);
        if (!steps_ || !undo_) {
            steps_.reset();  // no memory: what was done stays, it just cannot be corrected
            restart_chain();
            return;
        }
    }
    steps_[stepCount_++] = step;
}

void Calculation::run(const Step& step) noexcept {
    const std::uint64_t before = tape().recorded();
    switch (step.kind) {
        case Step::Kind::Press:
            calc_.press(step.key);
            break;
        case Step::Kind::Paste:
            calc_.paste(step.value);
            break;
        case Step::Kind::SwitchRate:
            calc_.switch_tax_rate();
            break;
        case Step::Kind::SetRate:
            calc_.set_tax_rate_kind(step.rateKind);
            break;
        case Step::Kind::GrandTotal:
            run_grand_total();
            return;
    }
    gtRecalled_ = false;
    // A result of "=" or "%" is the newest line the key wrote.
    if (tape().recorded() == before) return;
    const TapeMark mark = tape()[tape().size() - 1].mark;
    if (mark != TapeMark::Equals && mark != TapeMark::Percent) return;
    if (const std::optional<double> result = read_number(readout())) gt_ += *result;
}

void Calculation::run_grand_total() noexcept {
    if (!gtRecalled_) {
        calc_.recall(round_result(gt_, rounding()), TapeMark::GrandTotal);
        gtRecalled_ = true;
        return;
    }
    calc_.record_cleared(TapeMark::GrandTotalClear, gt_);
    gt_ = 0;
    gtRecalled_ = false;
}

void Calculation::restart_chain() noexcept {
    stepCount_ = 0;
    canUndo_ = false;
    chain_ = {calc_.snapshot(), gt_, gtRecalled_, tape().recorded()};
}

void Calculation::replay() noexcept {
    replaying_ = true;
    calc_.restore(chain_.calc);
    gt_ = chain_.gt;
    gtRecalled_ = chain_.gtRecalled;
    calc_.tape().take_back(chain_.line);
    for (std::size_t i = 0; i < stepCount_; ++i) {
        steps_[i].line = tape().recorded();
        run(steps_[i]);
    }
    for (std::size_t i = 0; i < stepCount_; ++i) {
        if (!steps_[i].corrected || line_after(i) == steps_[i].line) continue;
        if (TapeLine* line = calc_.tape().line_numbered(steps_[i].line)) line->corrected = true;
    }
    replaying_ = false;
}

std::optional<Calculation::EntryOf> Calculation::entry_of(std::uint64_t line) const noexcept {
    if (line < chain_.line || !tape().line_numbered(line)) return std::nullopt;
    for (std::size_t i = 0; i < stepCount_; ++i) {
        if (steps_[i].line != line || line_after(i) == line) continue;
        // The entry: the steps just before that wrote nothing and typed or pasted a number.
        std::size_t first = i;
        while (first > 0 && line_after(first - 1) == steps_[first - 1].line) {
            const Step& before = steps_[first - 1];
            const bool typed = before.kind == Step::Kind::Press && types_number(before.key);
            if (!typed && before.kind != Step::Kind::Paste) break;
            --first;
        }
        if (first == i) return std::nullopt;
        // It begins with a number typed or pasted, not with ± or ← on a result.
        const Step& start = steps_[first];
        const bool begins = start.kind == Step::Kind::Paste ||
                            start.key.group == KeyGroup::Number ||
                            start.key.group == KeyGroup::Decimal;
        if (!begins) return std::nullopt;
        return EntryOf{first, i};
    }
    return std::nullopt;
}

std::optional<std::uint64_t> Calculation::correctable_line(std::optional<std::uint64_t> from,
                                                           int direction) const noexcept {
    // Walked from the line after the start (the newest without one) towards either end.
    const std::uint64_t oldest = tape().number_of(0), end = tape().recorded();
    const bool back = !from || direction < 0;
    std::uint64_t n = from ? *from : end;
    while (back ? n-- > oldest : ++n < end) {
        if (correctable(n)) return n;
    }
    return std::nullopt;
}

bool Calculation::rewrite_steps(std::uint64_t line, std::span<const Key> entry) noexcept {
    const std::optional<EntryOf> at = entry_of(line);
    if (!at || entry.empty()) return false;
    for (Key key : entry) {
        if (!types_number(key)) return false;
    }
    const std::size_t typed = at->step - at->first, count = stepCount_ - typed + entry.size();
    if (count > kMaxSteps) return false;
    // The steps as they were become the undo; the new ones are written over the old undo.
    steps_.swap(undo_);
    undoCount_ = stepCount_;
    for (std::size_t i = 0; i < at->first; ++i) steps_[i] = undo_[i];
    for (std::size_t k = 0; k < entry.size(); ++k)
        steps_[at->first + k] = {Step::Kind::Press, entry[k]};
    for (std::size_t i = at->step; i < undoCount_; ++i) steps_[i - typed + entry.size()] = undo_[i];
    steps_[at->first + entry.size()].corrected = true;
    stepCount_ = count;
    canUndo_ = true;
    return true;
}

}  // namespace z5calc
