#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "handles.h"
#include "key_table.h"
#include "probe_support.h"
#include "test_files.h"
#include "z5calcD_h.h"

// The calculator window driven as a user drives it, from inside the modal display of a call.
namespace z5calc {

// The client-area centre of a key, as the key table lays it out.
inline POINT key_centre(KeyId id) {
    const KeyRect& r = key_spec(id).rect;
    return {r.left + r.width / 2, r.top + r.height / 2};
}

// The key a tag names: the engine's tags, "OFF" and "TRANS".
inline KeyId key_called(const std::wstring& tag) {
    if (tag == L"OFF") return KeyId::Off;
    if (tag == L"TRANS") return KeyId::Trans;
    const std::optional<KeyId> id = key_tagged(tag);
    if (!id) ADD_FAILURE() << "no key " << narrow(tag);
    return id.value_or(KeyId::Num0);
}

inline HWND calc_window() {
    return FindWindowW(L"z5calc.frmCalc", nullptr);
}

// Steps run one per timer tick on the test's thread, from inside the calculator's modal
// display, the way a user's input arrives.
class Script {
  public:
    // A script made inside another's step takes over until it goes.
    Script() : previous_(instance) { instance = this; }
    ~Script() {
        if (timer_) KillTimer(nullptr, timer_);
        instance = previous_;
    }
    Script& then(std::function<void()> step) {
        return until([step = std::move(step)] {
            step();
            return true;
        });
    }
    // A step that is tried again at each tick until it holds (a person waiting to see something),
    // for five seconds at most.
    Script& until(std::function<bool()> step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    Script& click(const std::wstring& tag) {
        return then([tag] {
            POINT p = key_centre(key_called(tag));
            PostMessageW(calc_window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
            PostMessageW(calc_window(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        });
    }
    Script& type(const std::wstring& chars) {
        return then([chars] {
            for (wchar_t ch : chars) PostMessageW(calc_window(), WM_CHAR, ch, 0);
        });
    }
    void start() { timer_ = SetTimer(nullptr, 0, 15, &Script::tick); }
    bool done() const { return steps_.empty(); }

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        if (!instance || instance->steps_.empty() || !calc_window()) return;
        // While a message is up (the standard box, or the wait for the companion), the user is
        // reading it.
        if (FindWindowW(L"#32770", L"z5calc") || FindWindowW(L"z5calc.frmModalTalk", nullptr)) {
            return;
        }
        // Taken off before it runs: a step that pumps messages must not meet itself again.
        Script* script = instance;
        auto step = std::move(script->steps_.front());
        script->steps_.pop_front();
        if (step()) {
            script->tries_ = 0;
        } else if (++script->tries_ < kMaxTries) {
            script->steps_.push_front(std::move(step));
        } else {
            ADD_FAILURE() << "a step waited in vain";
            script->tries_ = 0;
        }
    }
    static constexpr int kMaxTries = 5000 / 15;
    static inline Script* instance = nullptr;
    std::deque<std::function<bool()>> steps_;
    int tries_ = 0;
    UINT_PTR timer_ = 0;
    Script* previous_;
};

// A test of calls into the component loaded from its DLL: one object per test, made through
// the DLL's own class factory on the test's thread.
class ComponentCallTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        module = LoadLibraryW(dll_path().c_str());
    }
    static void TearDownTestSuite() { CoUninitialize(); }
    void SetUp() override {
        ASSERT_NE(module, nullptr);
        calc = make_object(module);
        ASSERT_TRUE(calc);
    }

    static inline HMODULE module = nullptr;
    ComPtr<_zelcalc> calc;
};

}  // namespace z5calc
