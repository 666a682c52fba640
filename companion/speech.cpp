#include <windows.h>
// The speech identifiers are not in MinGW's uuid library: this file defines them.
#include <initguid.h>
#include <sapi.h>

#include "speech.h"

namespace talkzel {
namespace {

ISpVoice* voice() noexcept {
    static ISpVoice* created = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice,
                                    reinterpret_cast<void**>(&created)))) {
            created = nullptr;
        }
    }
    return created;
}

}  // namespace

void speak(const std::wstring& text) noexcept {
    if (ISpVoice* v = voice()) v->Speak(text.c_str(), SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
}

void stop_speaking() noexcept {
    if (ISpVoice* v = voice()) v->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
}

}  // namespace talkzel
