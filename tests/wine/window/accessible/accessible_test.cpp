// The calculator as a screen reader sees it, through oleacc as a client on the window's thread
// reaches it.
#include <windows.h>
#include <oleacc.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "accessible_fixture.h"
#include "recording_annotations.h"

namespace z5calc {
namespace {

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
    for (const KeyRow& entry : kKeys) {
        const long id = id_of(entry.id);
        SCOPED_TRACE(id);
        EXPECT_EQ(i4(&IAccessible::get_accRole, id), ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ(text(&IAccessible::get_accName, id), key_name(entry.id));
        EXPECT_EQ(text(&IAccessible::get_accKeyboardShortcut, id), shortcut_text(entry.id));
        EXPECT_EQ(text(&IAccessible::get_accDefaultAction, id), L"\u62BC\u3059");
        if (entry.id == KeyId::Trans) continue;
        const RECT r = location(id), expected = screen(window.face().key(entry.id));
        EXPECT_TRUE(EqualRect(&r, &expected));
    }
    // The hidden transfer key is reported invisible, and is placed once shown.
    EXPECT_EQ(i4(&IAccessible::get_accState, id_of(KeyId::Trans)), STATE_SYSTEM_INVISIBLE);
    window.show_transfer_key(true);
    EXPECT_EQ(i4(&IAccessible::get_accState, id_of(KeyId::Trans)), 0);
    const RECT trans = location(id_of(KeyId::Trans)),
               expected = screen(window.face().key(KeyId::Trans));
    EXPECT_TRUE(EqualRect(&trans, &expected));
    // The readout: static text whose value is the readout, "Error" spoken as エラー.
    EXPECT_EQ(i4(&IAccessible::get_accRole, CalcAccessible::kReadoutChild), ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(text(&IAccessible::get_accValue, CalcAccessible::kReadoutChild), L"0.");
    show_readout(window.calculation(), "Error");
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
    for (const KeyRow& entry : kKeys) {
        const Control& k = window.face().key(entry.id);
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
        pump_messages();
    }
    window.show_transfer_key(true);
    pump_messages();
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

// The tax rate switch: a push button 「税率切替」 whose value is the rate the tax keys use, F8,
// and whose action switches the rate with a value-change event.
TEST_F(AccessibleTest, RateSwitchIsAButtonWhoseValueIsTheRate) {
    const long id = CalcAccessible::kRateSwitchChild;
    EXPECT_EQ(i4(&IAccessible::get_accRole, id), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(text(&IAccessible::get_accName, id), L"\u7A0E\u7387\u5207\u66FF");
    EXPECT_EQ(text(&IAccessible::get_accKeyboardShortcut, id), L"F8");
    EXPECT_EQ(text(&IAccessible::get_accDefaultAction, id), L"\u62BC\u3059");
    EXPECT_EQ(text(&IAccessible::get_accValue, id), L"10%");
    events.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &on_event,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    EXPECT_EQ(acc->accDoDefaultAction(child(id)), S_OK);
    pump_messages();
    UnhookWinEvent(hook);
    EXPECT_EQ(text(&IAccessible::get_accValue, id), L"8%");
    EXPECT_EQ(window.calculation().tax_rate_kind(), TaxRateKind::Reduced);
    auto seen = [&](DWORD event, long c) {
        return std::find(events.begin(), events.end(), std::pair<DWORD, long>{event, c}) !=
               events.end();
    };
    EXPECT_TRUE(seen(EVENT_OBJECT_VALUECHANGE, id));
    // The readout's live region says the new rate, until the number next changes.
    const long readout = CalcAccessible::kReadoutChild;
    EXPECT_TRUE(seen(0x8019, readout));
    EXPECT_EQ(text(&IAccessible::get_accName, readout), L"\u7A0E\u7387 8%\u30010.");
    EXPECT_EQ(text(&IAccessible::get_accValue, readout), L"0.");
    acc->accDoDefaultAction(child(id_of(KeyId::Num5)));
    pump_messages();
    EXPECT_EQ(text(&IAccessible::get_accName, readout), L"5.");
}

// The grand total's mark and the rounding's are static texts, shown with the marks, whose values
// are the total and the rounding in words; the rounding mark's tooltip says the same.
TEST_F(AccessibleTest, GrandTotalAndRoundingMarksAreReadWithTheirValues) {
    const long gt = CalcAccessible::kGrandTotalChild, rounding = CalcAccessible::kRoundingChild;
    EXPECT_EQ(i4(&IAccessible::get_accState, gt), STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(i4(&IAccessible::get_accState, rounding), STATE_SYSTEM_INVISIBLE);
    window.calculation().open(0, 0, {}, TaxRateKind::Standard, {2, ResultRule::HalfUp});
    for (KeyId k : {KeyId::Num1, KeyId::Divide, KeyId::Num8, KeyId::Equals})
        acc->accDoDefaultAction(child(id_of(k)));
    EXPECT_EQ(i4(&IAccessible::get_accRole, gt), ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(i4(&IAccessible::get_accState, gt), STATE_SYSTEM_READONLY);
    EXPECT_EQ(text(&IAccessible::get_accName, gt),
              L"\u30B0\u30E9\u30F3\u30C9\u30C8\u30FC\u30BF\u30EB");
    EXPECT_EQ(text(&IAccessible::get_accValue, gt), L"0.13");
    EXPECT_EQ(text(&IAccessible::get_accName, rounding), L"\u7AEF\u6570\u51E6\u7406");  // 端数処理
    const std::wstring words =
        L"\u7D50\u679C\u3092\u5C0F\u65702\u6841\u306B\u56DB\u6368\u4E94\u5165";
    EXPECT_EQ(text(&IAccessible::get_accValue, rounding), words);  // 結果を小数2桁に四捨五入
    SendMessageW(window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));  // the tooltips come
    wchar_t tip[80] = {};
    TTTOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.hwnd = window.hwnd();
    info.uId = kKeyCount;
    info.lpszText = tip;
    SendMessageW(window.tooltips(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::wstring(tip), words);
    window.calculation().clear_grand_total();
    EXPECT_EQ(i4(&IAccessible::get_accState, gt), STATE_SYSTEM_INVISIBLE);
}

// The readout is a polite live region where the annotation service is; where it is missing
// (no COM on the thread) the window works all the same.
TEST_F(AccessibleTest, ReadoutIsALiveRegionWhereTheServiceIs) {
    // What the system offers: under Wine the service exists but does not keep properties.
    IAccPropServices* services = nullptr;
    const HRESULT created =
        CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                         kAccPropServicesInterface, reinterpret_cast<void**>(&services));
    HRESULT set = E_NOINTERFACE;
    if (services) {
        VARIANT polite;
        VariantInit(&polite);
        polite.vt = VT_I4;
        polite.lVal = 1;
        set = services->SetHwndProp(window.hwnd(), static_cast<DWORD>(OBJID_CLIENT),
                                    CalcAccessible::kReadoutChild, kLiveSettingProperty, polite);
        services->Release();
    }
    std::printf("annotation service 0x%08lx, SetHwndProp 0x%08lx, live region marked: %s\n",
                static_cast<unsigned long>(created), static_cast<unsigned long>(set),
                window.live_region() ? "yes" : "no");
    EXPECT_EQ(window.live_region(), SUCCEEDED(created) && SUCCEEDED(set));
    bool withoutCom = true, works = false;
    std::thread other([&] {
        Calculation ownCalculation;
        CalcWindow own(ownCalculation);
        if (!own.load(module, {15, 15})) return;
        IAccessible* object = own.accessible_object();
        withoutCom = own.live_region();
        works = object && own.click_key(KeyId::Num9) && own.calculation().readout() == "9.";
        if (object) object->Release();
        own.unload();
    });
    other.join();
    EXPECT_FALSE(withoutCom);
    EXPECT_TRUE(works);
}

// With a service that keeps properties, the readout is marked polite when a screen reader
// first asks for the client area, and the mark is taken away when the window goes; a service
// that refuses leaves the window unmarked and working.
TEST_F(AccessibleTest, ReadoutIsMarkedPoliteAndUnmarkedThroughTheService) {
    for (const HRESULT answer : {S_OK, E_FAIL}) {
        SCOPED_TRACE(answer);
        RecordingAnnotations service;
        service.answer = answer;
        DWORD cookie = 0;
        ASSERT_EQ(
            CoRegisterClassObject(kAccPropServicesClass, static_cast<IClassFactory*>(&service),
                                  CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
            S_OK);
        window.unload();
        ASSERT_TRUE(window.load(module, {15, 15}));
        const HWND hwnd = window.hwnd();
        EXPECT_TRUE(service.set.empty());  // nothing before a screen reader asks
        ComPtr<IAccessible> reader;
        ASSERT_EQ(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kAccessibleIid,
                                             reinterpret_cast<void**>(reader.put())),
                  S_OK);
        reader.reset();
        ASSERT_EQ(service.set.size(), 1u);
        const RecordingAnnotations::Call& mark = service.set[0];
        EXPECT_EQ(mark.hwnd, hwnd);
        EXPECT_EQ(mark.object, static_cast<DWORD>(OBJID_CLIENT));
        EXPECT_EQ(mark.child, static_cast<DWORD>(CalcAccessible::kReadoutChild));
        EXPECT_TRUE(IsEqualGUID(mark.property, kLiveSettingProperty));
        EXPECT_EQ(mark.type, VT_I4);
        EXPECT_EQ(mark.value, 1);  // polite
        EXPECT_EQ(window.live_region(), answer == S_OK);
        EXPECT_TRUE(window.click_key(KeyId::Num6));
        EXPECT_EQ(window.calculation().readout(), "6.");
        window.unload();
        CoRevokeClassObject(cookie);
        if (answer == S_OK) {
            ASSERT_EQ(service.cleared.size(), 1u);
            EXPECT_EQ(service.cleared[0].hwnd, hwnd);
            EXPECT_EQ(service.cleared[0].child, static_cast<DWORD>(CalcAccessible::kReadoutChild));
            EXPECT_TRUE(IsEqualGUID(service.cleared[0].property, kLiveSettingProperty));
        } else {
            EXPECT_TRUE(service.cleared.empty());
        }
        ASSERT_TRUE(window.load(module, {15, 15}));  // for the next round and TearDown
    }
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
