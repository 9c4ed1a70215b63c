// The messages a host drives an HEdit field with: text in and out (the canonical
// text programs read back, under two sets of international settings), masks with
// empty texts, bounds, limits, the older message numbering and the clock field.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>

#include "tests/support/child_process.h"
#include "tests/windows/hedit_tests/hedit_fixture.h"

namespace hedit_tests {
namespace {

using namespace quillet;  // the message and flag names hosts use
using quorvan::testing::InChildProcess;
using quorvan::testing::RunTestsInChild;
using quorvan::testing::ScopedIntlSettings;

class HEditMessageTest : public HEditTest {
 protected:
  static std::string GetText(HWND field, int capacity = 64) {
    char buffer[128];
    std::memset(buffer, '#', sizeof buffer);
    const LRESULT copied =
        SendMessageA(field, WM_GETTEXT, capacity, reinterpret_cast<LPARAM>(buffer));
    EXPECT_EQ(buffer[capacity > 0 ? capacity : 0], '#') << "written past the capacity";
    return std::string(buffer, static_cast<size_t>(copied > 0 ? copied : 0));
  }
  static LRESULT SetText(HWND field, const char* text) {
    return SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  }
  static std::string Mask(HWND field, int capacity = 64) {
    char buffer[128] = {};
    const LRESULT copied =
        SendMessageA(field, HEM_GETMASK, capacity, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, static_cast<size_t>(copied > 0 ? copied : 0));
  }
  template <class T>
  static T ValueOf(HWND field) {
    T value{};
    SendMessageA(field, HEM_GETVALUE, sizeof value, reinterpret_cast<LPARAM>(&value));
    return value;
  }
  template <class T>
  static void SetValue(HWND field, T value) {
    SendMessageA(field, HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&value));
  }
};

TEST_F(HEditMessageTest, SetTextReadsASpecificationAStringOrATextToCommit) {
  HWND field = CreateField("%ssplain");
  EXPECT_EQ(SetText(field, nullptr), -2);
  EXPECT_EQ(SetText(field, "%dd"), 1);
  EXPECT_EQ(SendMessageA(field, HEM_GETTYPE, 0, 0), 'd');
  EXPECT_EQ(Mask(field), "mm/dd/yyyy");
  EXPECT_EQ(Text(field), "  /  /    ");

  EXPECT_EQ(SetText(field, "%nl|0;100|"), 1);
  EXPECT_EQ(SetText(field, "42"), 1);
  EXPECT_EQ(ValueOf<LONG>(field), 42);
  EXPECT_EQ(Text(field), "42");
  EXPECT_EQ(SetText(field, "420"), 1);  // committed with its bounds
  EXPECT_EQ(ValueOf<LONG>(field), 100);
  EXPECT_EQ(form_->CountOf(HEN_ABOVEMAX), 1);

  EXPECT_EQ(SetText(field, "%ss5"), 1);
  EXPECT_EQ(SetText(field, "a longer text than five"), 1) << "a string value grows its field";
  EXPECT_EQ(Text(field), "a longer text than five");
}

TEST_F(HEditMessageTest, GetTextNeverWritesPastTheCapacity) {
  HWND field = CreateField("%ssHello world");
  EXPECT_EQ(GetText(field), "Hello world");
  EXPECT_EQ(GetText(field, 6), "Hello");
  EXPECT_EQ(GetText(field, 1), "");
  EXPECT_EQ(GetText(field, 0), "");
  EXPECT_EQ(SendMessageA(field, WM_GETTEXT, 0x8000, 0), 0) << "no buffer";
  char guard[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(SendMessageA(field, WM_GETTEXT, 0xFFFF, reinterpret_cast<LPARAM>(guard)), 0)
      << "a capacity that reads as negative copies nothing";
  EXPECT_EQ(guard[0], 'x');
  EXPECT_EQ(SendMessageA(field, WM_GETTEXTLENGTH, 0, 0), 11);

  HWND phone = CreateField("%ms(###) ###-####", 0, 200, 24, 101, 10, 40);
  SendMessageA(phone, HEM_SETVALUE, 0, reinterpret_cast<LPARAM>("5551234567"));
  EXPECT_EQ(GetText(phone, 4), "555") << "the value itself";
  HWND truth = CreateField("%bwYes;No", 0, 200, 24, 102, 10, 70);
  GetText(truth, 2);  // the value bytes, bounded by capacity and value size
}

TEST_F(HEditMessageTest, MasksCarryTheirEmptyText) {
  HWND truth = CreateField("%bw");
  EXPECT_EQ(SendMessageA(truth, HEM_SETMASK, 1, reinterpret_cast<LPARAM>("Yes;No;Unknown")), 1);
  EXPECT_EQ(Mask(truth), "Yes;No") << "the mask ends before the empty text";
  EXPECT_EQ(Text(truth), "No");
  const WORD yes = 1;
  SendMessageA(truth, HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&yes));
  EXPECT_EQ(Text(truth), "Yes");
  SendMessageA(truth, HEM_SETVALUE, 0, 0);
  EXPECT_EQ(Text(truth), "Unknown");
  EXPECT_TRUE(SendMessageA(truth, HEM_GETEMPTY, 0, 0));

  HWND date = CreateField("%dd", 0, 200, 24, 101, 10, 40);
  SendMessageA(date, HEM_SETMASK, 1, reinterpret_cast<LPARAM>("mm/dd/yyyy;(no date)"));
  SendMessageA(date, HEM_SETVALUE, 0, 0);
  EXPECT_EQ(Text(date), "(no date)");

  HWND text = CreateField("%ms##", 0, 200, 24, 102, 10, 70);
  EXPECT_EQ(SendMessageA(text, HEM_SETMASK, 1, reinterpret_cast<LPARAM>("(###) ###-#### x####")),
            1);
  EXPECT_EQ(Text(text), "(___) ___-____ x____") << "a longer text mask is shown in full";
  EXPECT_GE(SendMessageA(text, HEM_GETVALUESIZE, 0, 0), 21);

  HWND string = CreateField("%ssx", 0, 200, 24, 103, 10, 100);
  EXPECT_EQ(SendMessageA(string, HEM_SETMASK, 1, reinterpret_cast<LPARAM>("##")), 0);
  EXPECT_EQ(SendMessageA(truth, HEM_SETMASK, 1, 0), -2);
  char untouched[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(SendMessageA(string, HEM_GETMASK, 4, reinterpret_cast<LPARAM>(untouched)), 0);
  EXPECT_EQ(untouched[0], 'x') << "a field without a mask writes nothing";
  EXPECT_EQ(Mask(truth, 4), "Yes");
}

TEST_F(HEditMessageTest, BoundsByMessageClampTheValue) {
  HWND number = CreateField("%nl");
  SetValue<LONG>(number, 70);
  LONG bound = 50;
  EXPECT_EQ(SendMessageA(number, HEM_SETMAX, 0, reinterpret_cast<LPARAM>(&bound)), 0);
  EXPECT_EQ(ValueOf<LONG>(number), 50);
  EXPECT_EQ(Text(number), "50");
  LONG read = 0;
  EXPECT_EQ(SendMessageA(number, HEM_GETMAX, 0, reinterpret_cast<LPARAM>(&read)), 1);
  EXPECT_EQ(read, 50);
  bound = 60;
  SendMessageA(number, HEM_SETMIN, 0, reinterpret_cast<LPARAM>(&bound));
  EXPECT_EQ(ValueOf<LONG>(number), 60) << "below the new minimum";
  SendMessageA(number, HEM_SETMAX, 0, 0);
  SetValue<LONG>(number, 1000);
  SendMessageA(number, HEM_COMMIT, 1, 0);
  EXPECT_EQ(ValueOf<LONG>(number), 1000) << "no maximum any more";

  HWND date = CreateField("%dl", 0, 200, 24, 101, 10, 40);
  const std::int32_t first = 20240101;
  SendMessageA(date, HEM_SETMIN, 0, reinterpret_cast<LPARAM>(&first));
  EXPECT_EQ(ValueOf<std::int32_t>(date), 20240101);
  std::int32_t readDate = 0;
  EXPECT_EQ(SendMessageA(date, HEM_GETMIN, 0, reinterpret_cast<LPARAM>(&readDate)), 1);
  EXPECT_EQ(readDate, 20240101);

  HWND string = CreateField("%ssx", 0, 200, 24, 102, 10, 70);
  EXPECT_EQ(SendMessageA(string, HEM_GETMAX, 0, reinterpret_cast<LPARAM>(&read)), 0);
  EXPECT_EQ(SendMessageA(number, HEM_GETMAX, 0, 0), 0) << "no buffer";
}

TEST_F(HEditMessageTest, LimitTextCutsStringsAndLeavesOtherTypesAlone) {
  HWND date = CreateField("%dl");
  EXPECT_EQ(SendMessageA(date, EM_LIMITTEXT, 3, 0), -1);
  EXPECT_EQ(SendMessageA(date, HEM_GETVALUESIZE, 0, 0), 4);

  HWND field = CreateField("%ssHello world", 0, 200, 24, 101, 10, 40);
  EXPECT_EQ(SendMessageA(field, EM_LIMITTEXT, 5, 0), 1);
  EXPECT_EQ(Text(field), "Hello");
  char value[32] = {};
  SendMessageA(field, HEM_GETVALUE, sizeof value, reinterpret_cast<LPARAM>(value));
  EXPECT_STREQ(value, "Hello");
  EXPECT_EQ(SendMessageA(field, HEM_GETMAXLENGTH, 0, 0), 5);
  EXPECT_TRUE(SendMessageA(field, HEM_GETSTATE, 0, 0) & HES_LIMITSET);
  SetFocus(field);
  SendMessageA(field, HEM_SETSELECTION, 5, 5);
  Type(field, "!");
  EXPECT_EQ(form_->CountOf(EN_MAXTEXT), 1);

  EXPECT_EQ(SendMessageA(field, EM_LIMITTEXT, static_cast<WPARAM>(-1), 0), 1);
  EXPECT_EQ(SendMessageA(field, HEM_GETMAXLENGTH, 0, 0), 32);
  EXPECT_FALSE(SendMessageA(field, HEM_GETSTATE, 0, 0) & HES_LIMITSET);
  EXPECT_EQ(SendMessageA(field, WM_USER + 21, 2, 0), 1) << "the older number of the same message";
  EXPECT_EQ(Text(field), "He");
}

TEST_F(HEditMessageTest, OlderNumbersAndTheSystemSelectionMessages) {
  HWND field = CreateField("%ssabcdef");
  EXPECT_EQ(SendMessageA(field, WM_USER + 1, 0, -1), 1);
  EXPECT_EQ(Selection(field), std::make_pair(0, 6));
  EXPECT_EQ(SendMessageA(field, WM_USER + 0, 0, MAKELPARAM(3, 4)), MAKELONG(0, 6))
      << "its parameters are never taken for pointers";
  SendMessageA(field, EM_SETSEL, 4, 2);
  EXPECT_EQ(Selection(field), std::make_pair(2, 4));
  SendMessageA(field, EM_SETSEL, static_cast<WPARAM>(-1), 0);
  const auto none = Selection(field);
  EXPECT_EQ(none.first, none.second);
  RECT rect{};
  EXPECT_EQ(SendMessageA(field, WM_USER + 2, 0, reinterpret_cast<LPARAM>(&rect)), 1);
  EXPECT_GT(rect.right, rect.left);
  EXPECT_EQ(SendMessageA(field, EM_GETRECT, 0, 0), -2);
}

TEST_F(HEditMessageTest, SmallSettingsAndTheirRefusals) {
  HWND field = CreateField("%ssabc", ES_PASSWORD);
  EXPECT_EQ(SendMessageA(field, HEM_GETFILLCHAR, 0, 0), '*');
  EXPECT_EQ(SendMessageA(field, HEM_SETFILLCHAR, 0, 0), -3);
  EXPECT_EQ(SendMessageA(field, HEM_GETFILLCHAR, 0, 0), '*');
  EXPECT_EQ(SendMessageA(field, HEM_SETFILLCHAR, static_cast<WPARAM>(0xE9), 0), 1);
  EXPECT_EQ(SendMessageA(field, HEM_GETFILLCHAR, 0, 0), static_cast<signed char>(0xE9));
  EXPECT_EQ(SendMessageA(field, WM_GETDLGCODE, 0, 0), 0x89);
  HWND wantsReturn = CreateField("%ssx", ES_WANTRETURN, 200, 24, 101, 10, 40);
  EXPECT_EQ(SendMessageA(wantsReturn, WM_GETDLGCODE, 0, 0), 0x0C);
  EXPECT_EQ(SendMessageA(field, EM_CANUNDO, 0, 0), 1);

  HWND number = CreateField("%nl", 0, 200, 24, 102, 10, 70);
  SetValue<LONG>(number, 12);
  EXPECT_EQ(SendMessageA(number, WM_CLEAR, 0, 0), 1);
  EXPECT_EQ(ValueOf<LONG>(number), 0);

  LONG bound = 5;
  SendMessageA(number, HEM_BINDVALUE, 1, reinterpret_cast<LPARAM>(&bound));
  EXPECT_EQ(ValueOf<LONG>(number), 5) << "binding with a direction sets the value from the buffer";
  SetText(number, "77");
  EXPECT_EQ(bound, 77) << "a bound buffer receives every commit";
  LONG copy = 0;
  EXPECT_EQ(SendMessageA(number, HEM_BINDVALUE, 0, reinterpret_cast<LPARAM>(&copy)), 4);
  EXPECT_EQ(copy, 77);
  SendMessageA(number, HEM_BINDVALUE, 0, 0);
}

TEST_F(HEditMessageTest, SettingsTheHostReadsBackAsItSetThem) {
  HWND field = CreateField("%ssabc");
  RECT rect{2, 3, 150, 19};
  EXPECT_EQ(SendMessageA(field, HEM_SETTEXTRECT, 0, reinterpret_cast<LPARAM>(&rect)), 1);
  RECT read{};
  EXPECT_EQ(SendMessageA(field, HEM_GETTEXTRECT, 0, reinterpret_cast<LPARAM>(&read)), 1);
  EXPECT_TRUE(EqualRect(&rect, &read));
  EXPECT_EQ(SendMessageA(field, HEM_GETTEXTRECT, 0, 0), -2);

  SendMessageA(field, HEM_SETCOLOR, 0, RGB(1, 2, 3));
  SendMessageA(field, HEM_SETCOLOR, 1, RGB(4, 5, 6));
  EXPECT_EQ(SendMessageA(field, HEM_GETCOLOR, 0, 0), RGB(1, 2, 3));
  EXPECT_EQ(SendMessageA(field, HEM_GETCOLOR, 1, 0), RGB(4, 5, 6));

  HBRUSH brush = GetSysColorBrush(COLOR_INFOBK);
  EXPECT_EQ(SendMessageA(field, HEM_SETFOCUSBRUSH, reinterpret_cast<WPARAM>(brush), 0), 0);
  EXPECT_EQ(SendMessageA(field, HEM_GETFOCUSBRUSH, 0, 0), reinterpret_cast<LRESULT>(brush));
  EXPECT_EQ(SendMessageA(field, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rect)),
            reinterpret_cast<LRESULT>(brush))
      << "the text rectangle is the control's own; the answer is the focus brush";
  EXPECT_EQ(SendMessageA(field, HEM_SETBKBRUSH, reinterpret_cast<WPARAM>(brush), 0), 0);
  EXPECT_EQ(SendMessageA(field, HEM_GETBKBRUSH, 0, 0), reinterpret_cast<LRESULT>(brush));

  EXPECT_EQ(SendMessageA(field, HEM_GETTEXTBUFFER, 0, 0),
            SendMessageA(field, HEM_GETTEXTPTR, 0, 0));
  EXPECT_NE(SendMessageA(field, HEM_GETINFO, 0, 0), 0);

  const LRESULT style = SendMessageA(field, HEM_GETSTYLE, 0, 0);
  EXPECT_EQ(SendMessageA(field, HEM_SETSTYLE, 0, style | HS_READONLY), 1);
  EXPECT_TRUE(GetWindowLongA(field, GWL_STYLE) & HS_READONLY);

  EXPECT_EQ(SendMessageA(field, EM_SETMODIFY, 1, 0), 1);
  EXPECT_EQ(SendMessageA(field, EM_GETMODIFY, 0, 0), 1);
  SendMessageA(field, HEM_SETMODIFY, 0, 0);
  EXPECT_EQ(SendMessageA(field, HEM_GETMODIFY, 0, 0), 0);

  EXPECT_EQ(SendMessageA(field, HEM_SETSTATE, HES_MODIFIED, 1), 1);
  EXPECT_TRUE(SendMessageA(field, HEM_GETSTATE, 0, 0) & HES_MODIFIED);
  SendMessageA(field, HEM_SETSTATE, HES_MODIFIED, 0);
  EXPECT_FALSE(SendMessageA(field, HEM_GETSTATE, 0, 0) & HES_MODIFIED);

  auto validator = [](HWND, UINT, void*) WINAPI -> int { return 0; };
  SendMessageA(field, HEM_SETVALIDATOR, 0,
               reinterpret_cast<LPARAM>(static_cast<FieldValidator>(validator)));
  EXPECT_EQ(SendMessageA(field, HEM_GETVALIDATOR, 0, 0),
            reinterpret_cast<LRESULT>(static_cast<FieldValidator>(validator)));
}

TEST_F(HEditMessageTest, NotificationsGoWhereTheHostSaysUnlessQuiet) {
  HWND field = CreateField("%ssabc");
  FormWindow other;
  EXPECT_EQ(SendMessageA(field, HEM_SETNOTIFYWND, reinterpret_cast<WPARAM>(other.hwnd()), 0),
            reinterpret_cast<LRESULT>(form_->hwnd()));
  EXPECT_EQ(SendMessageA(field, HEM_GETNOTIFYWND, 0, 0), reinterpret_cast<LRESULT>(other.hwnd()));
  SetFocus(field);
  EXPECT_EQ(other.CountOf(EN_SETFOCUS), 1);
  EXPECT_EQ(form_->CountOf(EN_SETFOCUS), 0);

  EXPECT_EQ(SendMessageA(field, HEM_SETQUIET, 1, 0), 1);
  EXPECT_EQ(SendMessageA(field, HEM_GETQUIET, 0, 0), 1);
  SendMessageA(field, HEM_SETSELECTION, 3, 3);
  other.ClearNotifications();
  Type(field, "x");
  EXPECT_TRUE(other.notifications().empty());
  SendMessageA(field, HEM_SETQUIET, 0, 0);
  Type(field, "y");
  EXPECT_EQ(other.CountOf(EN_CHANGE), 1);
}

TEST_F(HEditMessageTest, TheCursorIsTheIBeamOverTheText) {
  HWND field = CreateField("%ssabc");
  EXPECT_EQ(SendMessageA(field, WM_SETCURSOR, reinterpret_cast<WPARAM>(field),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            1);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM)));
  EXPECT_EQ(SendMessageA(field, WM_SETCURSOR, reinterpret_cast<WPARAM>(form_->hwnd()),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            0)
      << "another window's cursor is not ours to set";
}

TEST_F(HEditMessageTest, AClockWithoutSecondsChangesOnlyWithTheMinute) {
  HWND clock = CreateField("%kThh:mm");
  const auto now = static_cast<std::uint32_t>(std::time(nullptr));
  const std::uint32_t sameMinute = now - now % 60;
  SendMessageA(clock, HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&sameMinute));
  SendMessageA(clock, WM_TIMER, 1, 0);
  if (static_cast<std::uint32_t>(std::time(nullptr)) / 60 == now / 60) {
    EXPECT_EQ(ValueOf<std::uint32_t>(clock), sameMinute);
  }
  const std::uint32_t earlier = now - 600;
  SendMessageA(clock, HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&earlier));
  SendMessageA(clock, WM_TIMER, 1, 0);
  EXPECT_GE(ValueOf<std::uint32_t>(clock), now);

  HWND seconds = CreateField("%kThh:mm:ss", 0, 200, 24, 101, 10, 40);
  const std::uint32_t justBefore = static_cast<std::uint32_t>(std::time(nullptr)) - 1;
  SendMessageA(seconds, HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&justBefore));
  SendMessageA(seconds, WM_TIMER, 1, 0);
  EXPECT_GT(ValueOf<std::uint32_t>(seconds), justBefore);
}

// The canonical texts follow the settings the library was loaded with: each
// group runs in a child process started under them.
class HEditCanonicalChild : public HEditMessageTest {};

TEST_F(HEditCanonicalChild, DefaultSettings) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  HWND date = CreateField("%dlmmmm d, yyyy");
  SetValue<std::int32_t>(date, 20240307);
  EXPECT_EQ(GetText(date), "3/7/2024");
  EXPECT_EQ(SendMessageA(date, WM_GETTEXTLENGTH, 0, 0), 10);  // "03/07/2024"
  HWND amount = CreateField("%nd#,##0.00", 0, 200, 24, 101, 10, 40);
  SetValue<double>(amount, -12345.5);
  const std::string text = GetText(amount);
  EXPECT_EQ(text.find(','), std::string::npos) << text;
  EXPECT_EQ(text.rfind("-12345.5", 0), 0u) << text;
}

TEST_F(HEditCanonicalChild, CommaDecimalDotDateSettings) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  HWND date = CreateField("%dlmmmm d, yyyy");
  SetValue<std::int32_t>(date, 20240307);
  EXPECT_EQ(GetText(date), "7.3.2024");
  HWND amount = CreateField("%nd#,##0.00", 0, 200, 24, 101, 10, 40);
  SetValue<double>(amount, -12345.5);
  const std::string text = GetText(amount);
  EXPECT_EQ(text.find('.'), std::string::npos) << text;
  EXPECT_EQ(text.rfind("-12345,5", 0), 0u) << text;
}

void ExpectChildPasses(const char* childTest, const quorvan::testing::IntlValues& values) {
  ScopedIntlSettings settings(values);
  auto child = RunTestsInChild(std::string("HEditCanonicalChild.") + childTest);
  EXPECT_TRUE(child.Passed()) << child.output;
}

TEST(HEditCanonicalText, FollowsTheDefaultSettings) {
  ExpectChildPasses(
      "DefaultSettings",
      {{"sThousand", ","}, {"sDecimal", "."}, {"sDate", "/"}, {"sShortDate", "M/d/yyyy"}});
}

TEST(HEditCanonicalText, FollowsCommaDecimalDotDateSettings) {
  ExpectChildPasses(
      "CommaDecimalDotDateSettings",
      {{"sThousand", "."}, {"sDecimal", ","}, {"sDate", "."}, {"sShortDate", "dd.MM.yyyy"}});
}

}  // namespace
}  // namespace hedit_tests
