#pragma once

// The names both sides of the companion link use: the component (talk/) and talkzel2.exe.
namespace z5calc::companion {

inline constexpr wchar_t kCaption[] =
    L"\u304A\u3057\u3083\u3079\u308A\u30BC\u30EB";  // おしゃべりゼル
inline constexpr wchar_t kClass[] = L"ThunderRT6FormDC";
inline constexpr wchar_t kOlderClass[] = L"ThunderFormDC";
inline constexpr wchar_t kFile[] = L"talkzel2.exe";

// Window properties of the companion's main window.
inline constexpr wchar_t kCmd[] = L"TalkCmd";  // 1: present and answer; 5: the calculator closes
inline constexpr wchar_t kReplyWnd[] = L"TalkhWnd";
inline constexpr wchar_t kIcon[] = L"TalkIcon";  // the message-box style word
inline constexpr wchar_t kX[] = L"TalkX";
inline constexpr wchar_t kY[] = L"TalkY";
inline constexpr wchar_t kMsg[] = L"TalkMsg";  // the text control for the message
inline constexpr wchar_t kFileText[] = L"TalkFile";
inline constexpr wchar_t kSel[] = L"TalkSel";  // the user's answer

inline constexpr int kPresent = 1;
inline constexpr int kCalculatorClosing = 5;

}  // namespace z5calc::companion
