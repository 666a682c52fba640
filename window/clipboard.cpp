#include "clipboard.h"

#include <cstring>
#include <string>

#include "clipboard_text.h"
#include "tape_line_text.h"

// Copy and paste of the readout's number, and copy of the tape, through the system clipboard.
namespace z5calc {
namespace {

// The clipboard, open for as long as the object lives. Another program may hold it for a
// moment: a few tries before giving up.
class OpenClipboardScope {
  public:
    explicit OpenClipboardScope(HWND owner) noexcept {
        for (int attempt = 0; attempt < 5 && !open_; ++attempt) {
            open_ = OpenClipboard(owner) != FALSE;
            if (!open_) Sleep(10);
        }
    }
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    explicit operator bool() const noexcept { return open_; }

  private:
    bool open_ = false;
};

// Hands `bytes` to the clipboard in `format`; the clipboard owns the memory on success.
bool put(UINT format, const void* bytes, std::size_t size) noexcept {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return false;
    if (void* to = GlobalLock(memory)) {
        std::memcpy(to, bytes, size);
        GlobalUnlock(memory);
        if (SetClipboardData(format, memory)) return true;
    }
    GlobalFree(memory);
    return false;
}

// A program may put its data on the clipboard only when asked (delayed rendering): asking is
// a message that waits for as long as that program takes, and a hung owner would hang this
// thread with it. The owner must answer a message with a short time-out first.
bool owner_answers() noexcept {
    const HWND owner = GetClipboardOwner();
    if (!owner || !IsWindow(owner)) return true;  // a gone owner rendered all it had
    if (GetWindowThreadProcessId(owner, nullptr) == GetCurrentThreadId()) return true;
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(owner, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 500,
                               &ignored) != 0;
}

}  // namespace

bool copy_readout(HWND owner, std::string_view readout) noexcept {
    try {
        const std::optional<std::string> text = copied_text(readout);
        if (!text) return false;
        // ASCII digits, signs and a point: the same bytes in both forms.
        const std::wstring wide(text->begin(), text->end());
        OpenClipboardScope clipboard(owner);
        return clipboard && EmptyClipboard() &&
               put(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t)) &&
               put(CF_TEXT, text->c_str(), text->size() + 1);
    } catch (...) {
        return false;
    }
}

bool copy_tape(HWND owner, const Tape& tape) noexcept {
    try {
        const std::wstring wide = tape_text(tape);
        if (wide.empty()) return false;
        // Unicode only: the system makes the ANSI form for a program that asks for it.
        OpenClipboardScope clipboard(owner);
        return clipboard && EmptyClipboard() &&
               put(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    } catch (...) {
        return false;
    }
}

std::optional<double> clipboard_number(HWND owner) noexcept {
    std::optional<double> value;
    {
        OpenClipboardScope clipboard(owner);
        HANDLE data = clipboard && owner_answers() ? GetClipboardData(CF_UNICODETEXT) : nullptr;
        const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
        if (text) {
            // The data need not end where its size says, nor end at all: read within both.
            const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
            std::size_t length = 0;
            while (length < capacity && length <= kPasteLimit && text[length]) ++length;
            value = pasted_number(std::wstring_view(text, length));
            GlobalUnlock(data);
        }
    }
    return value;
}

}  // namespace z5calc
