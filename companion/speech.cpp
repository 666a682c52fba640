#include <windows.h>
// The speech identifiers are not in MinGW's uuid library: this file defines them.
#include <initguid.h>
#include <sapi.h>

#include <new>
#include <optional>
#include <string>

#include "speech.h"
#include "unique_handle.h"

namespace talkzel {
namespace {

void close_handle(HANDLE handle) noexcept {
    CloseHandle(handle);
}
using UniqueKernelHandle = z5calc::UniqueHandle<HANDLE, &close_handle>;

// What the speech thread is to do next. Only the latest request counts: a text replaces the
// one before it (the voice purges before speaking), and a stop replaces a text not yet begun.
struct Request {
    bool stop = false;
    std::wstring text;
};

// The voice lives on a thread of its own and every call to it, its creation included, is
// made there: a voice that hangs or fails never holds the window's thread, its messages or
// the answers that the component waits for.
class SpeechThread {
  public:
    SpeechThread() = default;
    SpeechThread(const SpeechThread&) = delete;
    SpeechThread& operator=(const SpeechThread&) = delete;

    void post(Request request) noexcept {
        AcquireSRWLockExclusive(&lock_);
        if (!ending_) {
            pending_ = std::move(request);
            start();
        }
        ReleaseSRWLockExclusive(&lock_);
        WakeConditionVariable(&ready_);
    }

    // Tells the thread to end and gives it a moment; a voice still hanging then is left to the
    // end of the process.
    void end(DWORD waitMs) noexcept {
        AcquireSRWLockExclusive(&lock_);
        ending_ = true;
        ReleaseSRWLockExclusive(&lock_);
        WakeConditionVariable(&ready_);
        if (thread_) WaitForSingleObject(thread_.get(), waitMs);
    }

  private:
    // Called under the lock.
    void start() noexcept {
        if (thread_) return;
        thread_.reset(CreateThread(nullptr, 0, &SpeechThread::run, this, 0, nullptr));
    }

    static DWORD WINAPI run(void* self) {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        static_cast<SpeechThread*>(self)->serve();
        CoUninitialize();
        return 0;
    }

    void serve() noexcept {
        ISpVoice* voice = nullptr;
        bool tried = false;
        for (;;) {
            std::optional<Request> request;
            AcquireSRWLockExclusive(&lock_);
            while (!ending_ && !pending_) SleepConditionVariableSRW(&ready_, &lock_, INFINITE, 0);
            if (!ending_) request.swap(pending_);
            ReleaseSRWLockExclusive(&lock_);
            if (!request) break;
            if (!tried) {
                tried = true;
                if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice,
                                            reinterpret_cast<void**>(&voice)))) {
                    voice = nullptr;
                }
            }
            if (!voice) continue;  // no voice: the messages are shown without speech
            if (request->stop) {
                voice->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
            } else {
                // Spoken as shown: a "<" in a message is text, not speech markup.
                voice->Speak(request->text.c_str(),
                             SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML, nullptr);
            }
        }
        if (voice) voice->Release();
    }

    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE ready_ = CONDITION_VARIABLE_INIT;
    std::optional<Request> pending_;
    bool ending_ = false;
    UniqueKernelHandle thread_;
};

// Made once and kept to the end of the process: a thread still held by a hanging voice may
// wake during the process's exit, and must find its object there.
SpeechThread& speech() noexcept {
    static SpeechThread* thread = new (std::nothrow) SpeechThread;
    static SpeechThread none;  // without memory for the thread's object: never started
    return thread ? *thread : none;
}

}  // namespace

void speak(const std::wstring& text) noexcept {
    try {
        speech().post({false, text});
    } catch (...) {
        // No memory for the text: it is shown without being spoken.
    }
}

void stop_speaking() noexcept {
    speech().post({true, {}});
}

void end_speech() noexcept {
    speech().end(1000);
}

}  // namespace talkzel
