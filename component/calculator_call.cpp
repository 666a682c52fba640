#include "calculator_call.h"

#include <cmath>
#include <limits>
#include <utility>

#include "described_overflow.h"
#include "error_info.h"
#include "ime32.h"
#include "number_text.h"
#include "window_twips.h"
#include "z5calcD_h.h"

namespace z5calc {
namespace {

constexpr int kHelpTopicModal = 10400;
constexpr int kHelpTopicShownAgain = 10410;

// A field coordinate as a message names it ("1E+30"): the engine's general number text, not
// std::to_wstring, whose floating-point formatting is large in a static DLL.
std::wstring twips_text(float twips) {
    const ReadoutText text = general_text(twips);
    return {text.view().begin(), text.view().end()};
}

void require_finite(double value, const wchar_t* what) {
    if (!std::isfinite(value)) {
        throw ComError{E_INVALIDARG,
                       std::wstring(L"showcalc: ") + what + L" is not a finite number"};
    }
}

// A twips coordinate that becomes a pixel coordinate the system can take.
bool placeable(float twips, double perPixel) {
    if (!std::isfinite(twips)) return false;
    const double pixels = static_cast<double>(twips) / perPixel;
    return std::fabs(pixels) < 1e7;  // far beyond any virtual screen, far within 32 bits
}

RECT field_pixels(const windowstay& ws, double twipsX, double twipsY) {
    auto px = [](double twips, double perPixel) {
        return static_cast<LONG>(std::lround(twips / perPixel));
    };
    return {px(ws.Wleft, twipsX), px(ws.Wtop, twipsY), px(double{ws.Wleft} + ws.Wwidth, twipsX),
            px(double{ws.Wtop} + ws.Wheight, twipsY)};
}

// Where the window of the call a nested call interrupts stood.
struct SavedPlace {
    float left = 0, top = 0;
};

// A field of no size at the mouse pointer, for a call that names no field.
windowstay pointer_field(double twipsX, double twipsY) {
    POINT pointer = {};
    GetCursorPos(&pointer);
    return {static_cast<float>(pointer.y) * static_cast<float>(twipsY),
            static_cast<float>(pointer.x) * static_cast<float>(twipsX), 0, 0};
}

}  // namespace

double showcalc(ComponentState& st, double m, const windowstay* field, double mmax) {
    require_finite(m, L"the starting value");
    require_finite(mmax, L"the limit");
    if (mmax < 0) {
        throw ComError{E_INVALIDARG,
                       L"showcalc: the limit mmax is negative; give the largest value to accept, "
                       L"or 0 for no limit"};
    }
    if (field) {
        for (float f : {field->Wtop, field->Wleft, field->Wwidth, field->Wheight}) {
            require_finite(f, L"the field's rectangle");
        }
    }
    SettingsStore& settings = st.settings;
    if (!settings.started()) settings.InitSettings();
    // Placed in the screen's own twips per pixel, as hosts convert their fields.
    const WindowMetrics metrics = screen_metrics(settings.twipsX, settings.twipsY);
    const windowstay ws = field ? *field : pointer_field(metrics.placeX, metrics.placeY);
    if (!st.calcWindow) st.calcWindow = std::make_unique<CalcWindow>(st.calculation);
    CalcWindow& window = *st.calcWindow;

    const bool nested = window.hwnd() != nullptr;
    GUID causality = {};
    CoGetCurrentLogicalThreadId(&causality);
    if (nested && !IsEqualGUID(causality, st.callCausality)) {
        // Two callers through one proxy reach this apartment in turn: the second is no part
        // of the first, whose user is still at work.
        throw ComError{RPC_E_CALL_REJECTED,
                       L"showcalc: the calculator is in use by another caller; call again once "
                       L"it has closed"};
    }
    if (!nested) st.callCausality = causality;
    Calculation& calc = st.calculation;
    const Calculation::Interrupted interrupted = calc.interrupt();
    SavedPlace saved;
    if (nested) {
        const TwipsBox box = window_twips(window.hwnd(), metrics.placeX, metrics.placeY);
        saved.left = std::round(box.left);
        saved.top = std::round(box.top);
        ForceForeground(window.hwnd());
        ShowWindow(window.hwnd(), SW_HIDE);
    }

    ReadCallTaxSettings(st);
    if (!nested && !window.load(WindowBase::code_module(), metrics, &st.host)) {
        throw ComError{E_FAIL, L"showcalc: the calculator window cannot be created"};
    }
    // From here a failure of this call must not leave its window behind.
    struct UnloadOnFailure {
        CalcWindow& window;
        bool armed;
        ~UnloadOnFailure() {
            if (armed) {
                window.Tag.clear();
                window.unload();
            }
        }
    } unloadOnFailure{window, !nested};

    calc.open(m, mmax, {settings.taxRate, settings.reducedTaxRate, settings.taxMode},
              st.openRateKind, CallRounding(st));
    window.show_transfer_key(true);

    TwipsBox box = window_twips(window.hwnd(), metrics.placeX, metrics.placeY);
    box.left = ws.Wleft;
    box.top = ws.Wtop + (ws.Wheight - box.height) / 2;
    if (!placeable(box.left, metrics.placeX) || !placeable(box.top, metrics.placeY)) {
        std::wstring text =
            L"Overflow: showcalc cannot place the calculator beside the field rectangle (";
        const std::pair<const wchar_t*, float> parts[] = {{L"Wtop=", ws.Wtop},
                                                          {L", Wleft=", ws.Wleft},
                                                          {L", Wwidth=", ws.Wwidth},
                                                          {L", Wheight=", ws.Wheight}};
        for (const auto& [name, twips] : parts) text.append(name).append(twips_text(twips));
        throw DescribedOverflow(text + L" twips): it lies beyond the screen's coordinates");
    }
    window.set_help(settings.helpFile, kHelpTopicModal);
    RECT focused = {};
    if (const HWND focus = GetFocus(); focus && focus != window.hwnd())
        GetWindowRect(focus, &focused);
    window.set_field(field_pixels(ws, metrics.placeX, metrics.placeY), focused);
    // Placed and kept on the screen in one move: the window is hidden until shown modally.
    KeepOnScreen(window.hwnd(), box, field_pixels(ws, metrics.placeX, metrics.placeY),
                 metrics.placeX, metrics.placeY, window.face().charWidth(),
                 window.face().charHeight());
    const double result = window.show_modally().value_or(m);
    unloadOnFailure.armed = false;

    if (nested) {
        calc.resume(interrupted);
        if (window.hwnd()) {
            TwipsBox back = window_twips(window.hwnd(), metrics.placeX, metrics.placeY);
            back.left = saved.left;
            back.top = saved.top;
            set_window_twips(window.hwnd(), back, metrics.placeX, metrics.placeY);
            window.show_transfer_key(false);
            InvalidateRect(window.hwnd(), nullptr, FALSE);
            ShowWindow(window.hwnd(), SW_SHOWNA);
            window.set_help(settings.helpFile, kHelpTopicShownAgain);
        }
    } else {
        window.unload();
    }
    return result;
}

}  // namespace z5calc
