// The calculator as a screen reader sees it, through oleacc as a client would reach it.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <functional>
#include <set>
#include <thread>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "calc_accessible.h"
#include "handles.h"
#include "loaded_window.h"
#include "test_files.h"

namespace z5calc {
namespace {

VARIANT child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

long id_of(KeyId key) {
    return static_cast<long>(key) + 1;
}

std::vector<std::pair<DWORD, long>> events;  // the WinEvents seen, with their child ids
std::vector<std::wstring> readoutAtEvent;    // the readout's value at each value change
IAccessible* watched = nullptr;

void CALLBACK on_event(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG childId, DWORD, DWORD) {
    if (object != OBJID_CLIENT) return;
    events.push_back({event, childId});
    if (event == EVENT_OBJECT_VALUECHANGE && watched) {
        BSTR value = nullptr;
        watched->get_accValue(child(childId), &value);
        readoutAtEvent.push_back(value ? value : L"");
        SysFreeString(value);
    }
}

void serve_until(HANDLE event);

class AccessibleTest : public LoadedWindowTest {
  protected:
    void SetUp() override {
        // A screen reader's requests travel through COM, as they do on a host's thread.
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        load_window({15, 15});
        ASSERT_EQ(AccessibleObjectFromWindow(window.hwnd(), static_cast<DWORD>(OBJID_CLIENT),
                                             kAccessibleIid, reinterpret_cast<void**>(acc.put())),
                  S_OK);
        ASSERT_TRUE(acc);
    }
    void TearDown() override {
        acc.reset();
        LoadedWindowTest::TearDown();
        CoUninitialize();
    }
    std::wstring text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long id) {
        BSTR b = nullptr;
        (acc.get()->*get)(child(id), &b);
        std::wstring s = b ? b : L"";
        SysFreeString(b);
        return s;
    }
    long i4(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id) {
        VARIANT v;
        VariantInit(&v);
        (acc.get()->*get)(child(id), &v);
        return v.vt == VT_I4 ? v.lVal : -1;
    }
    RECT location(long id) {
        long l = 0, t = 0, w = 0, h = 0;
        acc->accLocation(&l, &t, &w, &h, child(id));
        return {l, t, l + w, t + h};
    }
    RECT screen(const Control& c) {
        POINT p = {c.Left, c.Top};
        ClientToScreen(window.hwnd(), &p);
        return {p.x, p.y, p.x + c.Width, p.y + c.Height};
    }
    static void pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }

    void read_from_another_process(const char* reader);

    ComPtr<IAccessible> acc;
};

// A screen reader asks oleacc for the client area; the window answers with its own object.
TEST_F(AccessibleTest, WindowAnswersForItsClientArea) {
    ComPtr<IAccessible> own;
    *own.put() = window.accessible_object();
    // On the window's own thread the client gets the object itself, not a proxy.
    EXPECT_EQ(acc.get(), own.get());
    long count = 0;
    ASSERT_EQ(acc->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, CalcAccessible::kChildCount);
    // Other object ids are the system's.
    EXPECT_EQ(SendMessageW(window.hwnd(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CARET)), 0);
}

// Serves the window's thread, as a host's UI thread does, until `event` is set; a client
// stuck for 20 seconds in a call ends the program (it holds the caller's locals).
void serve_until(HANDLE event) {
    const DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &event, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
        if (GetTickCount() - start > 20000) {
            std::fprintf(stderr, "the client hung in a call to the window\n");
            ExitProcess(3);
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
}

// Runs `client` on a thread of its own, in an apartment of its own, while this thread serves.
// `meanwhile` runs on this thread first, serving as it needs.
void serve_while(const std::function<void()>& client, const std::function<void()>& meanwhile = {}) {
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread thread([&] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        client();
        CoUninitialize();
        SetEvent(done);
    });
    if (meanwhile) meanwhile();
    serve_until(done);
    thread.join();
    CloseHandle(done);
}

// A screen reader's thread gets a proxy: every answer crosses the apartment through the
// system's marshaling, strings, VARIANTs and failures alike.
TEST_F(AccessibleTest, ClientInAnotherApartmentWorksThroughTheProxy) {
    const HWND hwnd = window.hwnd();
    HRESULT got = E_FAIL, badChild = S_OK, hidden = S_OK;
    long count = 0, role = 0, hit = 0, state = -1;
    std::wstring name, shortcut, before, after;
    RECT place = {};
    const Control& seven = window.key(KeyId::Num7);
    POINT centre = {seven.Left + seven.Width / 2, seven.Top + seven.Height / 2};
    ClientToScreen(hwnd, &centre);
    auto read = [](IAccessible* a, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*),
                   long id) {
        BSTR b = nullptr;
        (a->*get)(child(id), &b);
        std::wstring s = b ? b : L"";
        SysFreeString(b);
        return s;
    };
    serve_while([&] {
        ComPtr<IAccessible> remote;
        got = AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kAccessibleIid,
                                         reinterpret_cast<void**>(remote.put()));
        if (FAILED(got)) return;
        remote->get_accChildCount(&count);
        name = read(remote.get(), &IAccessible::get_accName, id_of(KeyId::Percent));
        shortcut = read(remote.get(), &IAccessible::get_accKeyboardShortcut, id_of(KeyId::MR));
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
        before = read(remote.get(), &IAccessible::get_accValue, CalcAccessible::kReadoutChild);
        for (KeyId key : {KeyId::Num7, KeyId::Plus, KeyId::Num8, KeyId::Equals}) {
            remote->accDoDefaultAction(child(id_of(key)));
        }
        after = read(remote.get(), &IAccessible::get_accValue, CalcAccessible::kReadoutChild);
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
    EXPECT_EQ(window.calculator().readout(), "15.");
    EXPECT_EQ(badChild, E_INVALIDARG);
    EXPECT_EQ(hidden, E_FAIL);
}

// The proxy a client keeps after the window closed answers with an error.
TEST_F(AccessibleTest, ProxyKeptAfterTheWindowClosedAnswersWithAnError) {
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
    EXPECT_EQ(countAfter, CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(nameAfter, CO_E_OBJNOTCONNECTED);
    ASSERT_TRUE(window.load(module, {15, 15}));  // for TearDown
}

// A screen reader in another process: the object crosses through oleacc's shared memory and
// the marshaled calls come back to this thread, which serves them as a host's UI thread does.
void AccessibleTest::read_from_another_process(const char* reader) {
    TempFolder folder(L"reader");
    const std::wstring out = folder.path() + L"tree.txt";
    std::wstring line = L"\"" + unix_to_wine_path(reader) + L"\" " +
                        std::to_wstring(reinterpret_cast<INT_PTR>(window.hwnd())) + L" \"" + out +
                        L"\"";
    for (KeyId key : {KeyId::Num7, KeyId::Plus, KeyId::Num8, KeyId::Equals}) {
        line += L" " + std::to_wstring(id_of(key));
    }
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &pi))
        << reader;
    CloseHandle(pi.hThread);
    serve_until(pi.hProcess);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    ASSERT_EQ(code, 0u);
    const std::string bytes = read_bytes(out);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()),
                            bytes.size() / sizeof(wchar_t));
    std::wstring keys;
    for (const KeySpec& entry : kKeys) {
        keys += std::to_wstring(id_of(entry.id)) + L"\t" + std::to_wstring(ROLE_SYSTEM_PUSHBUTTON) +
                L"\t" + std::wstring(key_name(entry.id)) + L"\t(" +
                std::to_wstring(static_cast<long>(DISP_E_MEMBERNOTFOUND)) + L")\t" +
                shortcut_text(entry.id) + L"\n";
    }
    EXPECT_EQ(text.substr(0, keys.size()), keys);
    const std::wstring readout = L"33\t" + std::to_wstring(ROLE_SYSTEM_STATICTEXT) + L"\t0.\t0.\t";
    EXPECT_EQ(text.compare(keys.size(), readout.size(), readout), 0) << text.substr(keys.size());
    EXPECT_NE(text.find(L"after\t15.\n"), std::wstring::npos);
    EXPECT_EQ(window.calculator().readout(), "15.");
}

TEST_F(AccessibleTest, ScreenReaderInAnotherProcessReadsAndPresses) {
    read_from_another_process(SCREEN_READER_EXE);
}

// Screen readers are often of the other bitness than the host they read.
TEST_F(AccessibleTest, ScreenReaderOfTheOtherBitnessReadsAndPresses) {
    ASSERT_NE(GetFileAttributesW(unix_to_wine_path(OTHER_SCREEN_READER_EXE).c_str()),
              INVALID_FILE_ATTRIBUTES)
        << "build both bitnesses first: " << OTHER_SCREEN_READER_EXE;
    read_from_another_process(OTHER_SCREEN_READER_EXE);
}

TEST_F(AccessibleTest, TreeNamesRolesAndPlacesEveryKey) {
    long count = 0;
    ASSERT_EQ(acc->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, CalcAccessible::kChildCount);
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long got = 0;
    ASSERT_EQ(AccessibleChildren(acc.get(), 0, count, children.data(), &got), S_OK);
    EXPECT_EQ(got, count);
    std::set<std::wstring> names;
    for (long i = 0; i < got; ++i) {
        ASSERT_EQ(children[i].vt, VT_I4);
        EXPECT_EQ(children[i].lVal, i + 1);
        const std::wstring name = text(&IAccessible::get_accName, i + 1);
        EXPECT_FALSE(name.empty()) << i + 1;
        EXPECT_TRUE(names.insert(name).second) << i + 1;
    }
    EXPECT_EQ(i4(&IAccessible::get_accRole, CHILDID_SELF), ROLE_SYSTEM_CLIENT);
    for (const KeySpec& entry : kKeys) {
        const long id = id_of(entry.id);
        SCOPED_TRACE(id);
        EXPECT_EQ(i4(&IAccessible::get_accRole, id), ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ(text(&IAccessible::get_accName, id), key_name(entry.id));
        EXPECT_EQ(text(&IAccessible::get_accKeyboardShortcut, id), shortcut_text(entry.id));
        EXPECT_EQ(text(&IAccessible::get_accDefaultAction, id), L"\u62BC\u3059");
        if (entry.id == KeyId::Trans) continue;
        const RECT r = location(id), expected = screen(window.key(entry.id));
        EXPECT_TRUE(EqualRect(&r, &expected));
    }
    // The hidden transfer key is reported invisible, and is placed once shown.
    EXPECT_EQ(i4(&IAccessible::get_accState, id_of(KeyId::Trans)), STATE_SYSTEM_INVISIBLE);
    window.show_transfer_key(true);
    EXPECT_EQ(i4(&IAccessible::get_accState, id_of(KeyId::Trans)), 0);
    const RECT trans = location(id_of(KeyId::Trans)), expected = screen(window.key(KeyId::Trans));
    EXPECT_TRUE(EqualRect(&trans, &expected));
    // The readout: static text whose value is the readout, "Error" spoken as エラー.
    EXPECT_EQ(i4(&IAccessible::get_accRole, CalcAccessible::kReadoutChild), ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(text(&IAccessible::get_accValue, CalcAccessible::kReadoutChild), L"0.");
    window.calculator().state().Readout.assign("Error");
    EXPECT_EQ(text(&IAccessible::get_accValue, CalcAccessible::kReadoutChild),
              L"\u30A8\u30E9\u30FC");
    EXPECT_EQ(text(&IAccessible::get_accName, CalcAccessible::kReadoutChild),
              L"\u30A8\u30E9\u30FC");
    // The memory mark only while it is shown.
    EXPECT_EQ(i4(&IAccessible::get_accState, CalcAccessible::kMemMarkChild),
              STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(acc->accDoDefaultAction(child(id_of(KeyId::Num5))), S_OK);
    EXPECT_EQ(acc->accDoDefaultAction(child(id_of(KeyId::MPlus))), S_OK);
    EXPECT_EQ(i4(&IAccessible::get_accState, CalcAccessible::kMemMarkChild), STATE_SYSTEM_READONLY);
    // Bad child ids are refused.
    EXPECT_EQ(acc->accDoDefaultAction(child(99)), E_INVALIDARG);
    VARIANT text = {};
    text.vt = VT_BSTR;
    BSTR name = nullptr;
    EXPECT_EQ(acc->get_accName(text, &name), E_INVALIDARG);
}

TEST_F(AccessibleTest, DefaultActionsCalculateAndHitTestsFindTheKeys) {
    for (KeyId key : {KeyId::Num7, KeyId::Plus, KeyId::Num8, KeyId::Equals}) {
        EXPECT_EQ(acc->accDoDefaultAction(child(id_of(key))), S_OK);
    }
    EXPECT_EQ(text(&IAccessible::get_accValue, CalcAccessible::kReadoutChild), L"15.");
    // The hidden transfer key does nothing.
    EXPECT_EQ(acc->accDoDefaultAction(child(id_of(KeyId::Trans))), E_FAIL);
    for (const KeySpec& entry : kKeys) {
        const Control& k = window.key(entry.id);
        if (!k.Visible) continue;
        POINT centre = {k.Left + k.Width / 2, k.Top + k.Height / 2};
        ClientToScreen(window.hwnd(), &centre);
        VARIANT found;
        ASSERT_EQ(acc->accHitTest(centre.x, centre.y, &found), S_OK);
        EXPECT_EQ(found.vt, VT_I4);
        EXPECT_EQ(found.lVal, id_of(entry.id)) << static_cast<int>(entry.id);
    }
    // Navigation runs through the children in order.
    VARIANT next;
    ASSERT_EQ(acc->accNavigate(NAVDIR_FIRSTCHILD, child(CHILDID_SELF), &next), S_OK);
    EXPECT_EQ(next.lVal, 1);
    ASSERT_EQ(acc->accNavigate(NAVDIR_NEXT, child(5), &next), S_OK);
    EXPECT_EQ(next.lVal, 6);
    EXPECT_EQ(acc->accNavigate(NAVDIR_NEXT, child(CalcAccessible::kChildCount), &next), S_FALSE);
    // The focus is the client itself while the window has it.
    SetFocus(window.hwnd());
    VARIANT focus;
    ASSERT_EQ(acc->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.lVal, CHILDID_SELF);
}

TEST_F(AccessibleTest, ReadoutChangesAreAnnounced) {
    events.clear();
    readoutAtEvent.clear();
    watched = acc.get();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &on_event,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    for (KeyId key : {KeyId::Num4, KeyId::Num2}) {
        acc->accDoDefaultAction(child(id_of(key)));
        pump();
    }
    window.show_transfer_key(true);
    pump();
    UnhookWinEvent(hook);
    watched = nullptr;
    auto seen = [&](DWORD event, long id) {
        for (const auto& e : events) {
            if (e.first == event && e.second == id) return true;
        }
        return false;
    };
    EXPECT_TRUE(seen(EVENT_OBJECT_NAMECHANGE, CalcAccessible::kReadoutChild));
    EXPECT_TRUE(seen(EVENT_OBJECT_VALUECHANGE, CalcAccessible::kReadoutChild));
    EXPECT_TRUE(seen(0x8019, CalcAccessible::kReadoutChild));  // live region changed
    EXPECT_TRUE(seen(EVENT_OBJECT_SHOW, id_of(KeyId::Trans)));
    EXPECT_EQ(readoutAtEvent, (std::vector<std::wstring>{L"4.", L"42."}));
}

// The readout is a polite live region where the annotation service is; where it is missing
// (no COM on the thread) the window works all the same.
TEST_F(AccessibleTest, ReadoutIsALiveRegionWhereTheServiceIs) {
    // What the system offers: under Wine the service exists but does not keep properties.
    IAccPropServices* services = nullptr;
    const HRESULT created = CoCreateInstance(
        GUID{0xB5F8350B, 0x0548, 0x48B1, {0xA6, 0xEE, 0x88, 0xBD, 0x00, 0xB4, 0xA5, 0xE7}}, nullptr,
        CLSCTX_INPROC_SERVER,
        GUID{0x6E26E776, 0x04F0, 0x495D, {0x80, 0xE4, 0x33, 0x30, 0x35, 0x2E, 0x31, 0x69}},
        reinterpret_cast<void**>(&services));
    HRESULT set = E_NOINTERFACE;
    if (services) {
        VARIANT polite;
        VariantInit(&polite);
        polite.vt = VT_I4;
        polite.lVal = 1;
        set = services->SetHwndProp(
            window.hwnd(), static_cast<DWORD>(OBJID_CLIENT), CalcAccessible::kReadoutChild,
            GUID{0xC12BCD8E, 0x2A8E, 0x4950, {0x8A, 0xE7, 0x36, 0x25, 0x11, 0x1D, 0x58, 0xEB}},
            polite);
        services->Release();
    }
    std::printf("annotation service 0x%08lx, SetHwndProp 0x%08lx, live region marked: %s\n",
                static_cast<unsigned long>(created), static_cast<unsigned long>(set),
                window.live_region() ? "yes" : "no");
    EXPECT_EQ(window.live_region(), SUCCEEDED(created) && SUCCEEDED(set));
    bool withoutCom = true, works = false;
    std::thread other([&] {
        CalcWindow own;
        if (!own.load(module, {15, 15})) return;
        IAccessible* object = own.accessible_object();
        withoutCom = own.live_region();
        works = object && own.click_key(KeyId::Num9) && own.calculator().readout() == "9.";
        if (object) object->Release();
        own.unload();
    });
    other.join();
    EXPECT_FALSE(withoutCom);
    EXPECT_TRUE(works);
}

TEST_F(AccessibleTest, KeptObjectFailsSafelyAfterTheWindowIsGone) {
    ComPtr<IAccessible> kept;
    acc->QueryInterface(kAccessibleIid, reinterpret_cast<void**>(kept.put()));
    window.unload();
    long count = 0;
    EXPECT_EQ(kept->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    BSTR name = nullptr;
    EXPECT_EQ(kept->get_accName(child(1), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(kept->accDoDefaultAction(child(1)), CO_E_OBJNOTCONNECTED);
    long l, t, w, h;
    EXPECT_EQ(kept->accLocation(&l, &t, &w, &h, child(1)), CO_E_OBJNOTCONNECTED);
    VARIANT v;
    EXPECT_EQ(kept->accHitTest(10, 10, &v), CO_E_OBJNOTCONNECTED);
    ASSERT_TRUE(window.load(module, {15, 15}));  // for TearDown
}

}  // namespace
}  // namespace z5calc
