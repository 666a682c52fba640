// Screen readers elsewhere: on another thread (a proxy), in another process, of the other
// bitness. The window's thread serves their calls as a host's UI thread does.
#include <windows.h>
#include <oleacc.h>

#include <string>

#include <gtest/gtest.h>

#include "accessible_fixture.h"
#include "test_files.h"

namespace z5calc {
namespace {

class AccessibleClientTest : public AccessibleTest {
  protected:
    void read_from_another_process(const char* reader);
};

// A screen reader's thread gets a proxy: every answer crosses the apartment through the
// system's marshaling, strings, VARIANTs and failures alike.
TEST_F(AccessibleClientTest, ClientInAnotherApartmentWorksThroughTheProxy) {
    const HWND hwnd = window.hwnd();
    HRESULT got = E_FAIL, badChild = S_OK, hidden = S_OK;
    long count = 0, role = 0, hit = 0, state = -1;
    std::wstring name, shortcut, before, after;
    RECT place = {};
    const Control& seven = window.face().key(KeyId::Num7);
    POINT centre = {seven.Left + seven.Width / 2, seven.Top + seven.Height / 2};
    ClientToScreen(hwnd, &centre);
    serve_while([&] {
        ComPtr<IAccessible> remote;
        got = AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kAccessibleIid,
                                         reinterpret_cast<void**>(remote.put()));
        if (FAILED(got)) return;
        remote->get_accChildCount(&count);
        name = text_of(remote.get(), &IAccessible::get_accName, id_of(KeyId::Percent));
        shortcut = text_of(remote.get(), &IAccessible::get_accKeyboardShortcut, id_of(KeyId::MR));
        VARIANT v;
        VariantInit(&v);
        if (SUCCEEDED(remote->get_accRole(child(id_of(KeyId::Num7)), &v))) role = v.lVal;
        VariantInit(&v);
        if (SUCCEEDED(remote->get_accState(child(id_of(KeyId::Trans)), &v))) state = v.lVal;
        long l = 0, t = 0, w = 0, h = 0;
        remote->accLocation(&l, &t, &w, &h, child(id_of(KeyId::Num7)));
        place = {l, t, l + w, t + h};
        VariantInit(&v);
        if (SUCCEEDED(remote->accHitTest(centre.x, centre.y, &v))) hit = v.lVal;
        before = text_of(remote.get(), &IAccessible::get_accValue, CalcAccessible::kReadoutChild);
        for (KeyId key : {KeyId::Num7, KeyId::Plus, KeyId::Num8, KeyId::Equals}) {
            remote->accDoDefaultAction(child(id_of(key)));
        }
        after = text_of(remote.get(), &IAccessible::get_accValue, CalcAccessible::kReadoutChild);
        badChild = remote->accDoDefaultAction(child(99));
        hidden = remote->accDoDefaultAction(child(id_of(KeyId::Trans)));
    });
    ASSERT_EQ(got, S_OK);
    EXPECT_EQ(count, CalcAccessible::kChildCount);
    EXPECT_EQ(name, key_name(KeyId::Percent));
    EXPECT_EQ(shortcut, L"Ctrl+R");
    EXPECT_EQ(role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(state, STATE_SYSTEM_INVISIBLE);
    const RECT expected = screen(seven);
    EXPECT_TRUE(EqualRect(&place, &expected));
    EXPECT_EQ(hit, id_of(KeyId::Num7));
    EXPECT_EQ(before, L"0.");
    EXPECT_EQ(after, L"15.");
    EXPECT_EQ(window.calculation().readout(), "15.");
    EXPECT_EQ(badChild, E_INVALIDARG);
    EXPECT_EQ(hidden, E_FAIL);
}

// The proxy a client keeps after the window closed answers with an error: the object is cut off
// from every other apartment when its window goes (the system's disconnection error; Wine
// reports RPC_S_UNKNOWN_IF, Windows RPC_E_DISCONNECTED), so nothing of it is reached.
TEST_F(AccessibleClientTest, ProxyKeptAfterTheWindowClosedAnswersWithAnError) {
    const HWND hwnd = window.hwnd();
    HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HRESULT got = E_FAIL, countAfter = S_OK, nameAfter = S_OK;
    serve_while(
        [&] {
            ComPtr<IAccessible> remote;
            got = AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kAccessibleIid,
                                             reinterpret_cast<void**>(remote.put()));
            SetEvent(taken);
            WaitForSingleObject(closed, 20000);
            if (!remote) return;
            long count = 0;
            countAfter = remote->get_accChildCount(&count);
            BSTR name = nullptr;
            nameAfter = remote->get_accName(child(1), &name);
            SysFreeString(name);
        },
        [&] {
            serve_until(taken);
            window.unload();
            SetEvent(closed);
        });
    CloseHandle(taken);
    CloseHandle(closed);
    EXPECT_EQ(got, S_OK);
    for (HRESULT after : {countAfter, nameAfter}) {
        EXPECT_TRUE(after == HRESULT_FROM_WIN32(RPC_S_UNKNOWN_IF) || after == RPC_E_DISCONNECTED ||
                    after == CO_E_OBJNOTCONNECTED)
            << std::hex << after;
    }
    ASSERT_TRUE(window.load(module, {15, 15}));  // for TearDown
}

// A screen reader in another process: the object crosses through oleacc's shared memory and
// the marshaled calls come back to this thread, which serves them as a host's UI thread does.
void AccessibleClientTest::read_from_another_process(const char* reader) {
    TempFolder folder(L"reader");
    const std::wstring out = folder.path() + L"tree.txt";
    HANDLE process = start_screen_reader(reader, window.hwnd(), out,
                                         {KeyId::Num7, KeyId::Plus, KeyId::Num8, KeyId::Equals});
    ASSERT_NE(process, nullptr) << reader;
    std::wstring text;
    ASSERT_EQ(finish_screen_reader(process, out, text), 0u);
    std::wstring keys;
    for (const KeyRow& entry : kKeys) {
        keys += std::to_wstring(id_of(entry.id)) + L"\t" + std::to_wstring(ROLE_SYSTEM_PUSHBUTTON) +
                L"\t" + std::wstring(key_name(entry.id)) + L"\t(" +
                std::to_wstring(static_cast<long>(DISP_E_MEMBERNOTFOUND)) + L")\t" +
                shortcut_text(entry.id) + L"\n";
    }
    EXPECT_EQ(text.substr(0, keys.size()), keys);
    const std::wstring readout = L"33\t" + std::to_wstring(ROLE_SYSTEM_STATICTEXT) + L"\t0.\t0.\t";
    EXPECT_EQ(text.compare(keys.size(), readout.size(), readout), 0) << text.substr(keys.size());
    EXPECT_NE(text.find(L"after\t15.\n"), std::wstring::npos);
    EXPECT_EQ(window.calculation().readout(), "15.");
}

TEST_F(AccessibleClientTest, ScreenReaderInAnotherProcessReadsAndPresses) {
    read_from_another_process(SCREEN_READER_EXE);
}

// Screen readers are often of the other bitness than the host they read.
TEST_F(AccessibleClientTest, ScreenReaderOfTheOtherBitnessReadsAndPresses) {
    ASSERT_NE(GetFileAttributesW(unix_to_wine_path(OTHER_SCREEN_READER_EXE).c_str()),
              INVALID_FILE_ATTRIBUTES)
        << "build both bitnesses first: " << OTHER_SCREEN_READER_EXE;
    read_from_another_process(OTHER_SCREEN_READER_EXE);
}

}  // namespace
}  // namespace z5calc
