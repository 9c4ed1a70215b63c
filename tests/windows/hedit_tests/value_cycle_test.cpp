// The editing cycle of an HEdit field as a host sees it: fields made from their
// specifications, typing through WM_CHAR and keys, the commit when the focus
// leaves, bounds and the parent's answers, the validator, undo, the overwrite
// mode, the F2 preview, and a parent that destroys the field mid-notification.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/gui_objects.h"
#include "tests/support/heap_blocks.h"
#include "tests/windows/hedit_tests/hedit_fixture.h"

namespace hedit_tests {
namespace {

using namespace quillet;  // the message and flag names hosts use

constexpr WORD kSetFocus = EN_SETFOCUS, kKillFocus = EN_KILLFOCUS, kChange = EN_CHANGE,
               kUpdate = EN_UPDATE;

int g_validatorCalls = 0;
int g_validatorAnswer = 0;
int WINAPI CountingValidator(HWND, UINT, void*) {
  ++g_validatorCalls;
  return g_validatorAnswer;
}
// A host whose validator closes the form the field is on.
int WINAPI DestroyingValidator(HWND control, UINT, void*) {
  ++g_validatorCalls;
  DestroyWindow(control);
  return g_validatorAnswer;
}

class HEditValueTest : public HEditTest {
 public:
  void SetUp() override {
    HEditTest::SetUp();
    g_validatorCalls = 0;
    g_validatorAnswer = 0;
    // Somewhere for the focus to go when it leaves a field.
    elsewhere_ = CreateWindowExA(0, "BUTTON", "elsewhere", WS_CHILD | WS_VISIBLE, 300, 100, 80, 24,
                                 form_->hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  void Focus(HWND field) {
    SetFocus(field);
    PumpMessages();
  }
  void Leave() {
    SetFocus(elsewhere_);
    PumpMessages();
  }
  template <class T>
  static T ValueOf(HWND field) {
    T value{};
    SendMessageA(field, HEM_GETVALUE, sizeof value, reinterpret_cast<LPARAM>(&value));
    return value;
  }
  static WORD State(HWND field) {
    return static_cast<WORD>(SendMessageA(field, HEM_GETSTATE, 0, 0));
  }
  // A field holding text (all of it selected once focused) that the test replaces.
  void Retype(HWND field, const std::string& text) {
    Focus(field);
    SendMessageA(field, HEM_SETSELECTION, 0, -1);
    Type(field, text);
  }

  HWND elsewhere_ = nullptr;
};

TEST_F(HEditValueTest, SpecificationsMakeFieldsOfEveryType) {
  struct Case {
    const char* spec;
    char type, storage;
    int valueSize;
    const char* mask;  // null: none
    const char* text;  // display form
  };
  const Case cases[] = {
      {"%nd|0;100|*0.00", 'n', 'd', 8, "*0.00", "0.00"},
      {"%nl", 'n', 'l', 4, "*0", "0"},
      {"%nd", 'n', 'd', 8, "*0.0*", nullptr},
      {"%dd", 'd', 'd', 6, "mm/dd/yyyy", "  /  /    "},
      {"%tt", 't', 't', 6, "hh:mm:ss", "00:00:00"},
      {"%aD", 'a', 'D', 10, "mm/dd/yyyy hh:mm:ss", nullptr},
      {"%bwYes;No", 'b', 'w', 2, "Yes;No", "No"},
      {"%ms(###) ###-####", 'm', 's', 15, "(###) ###-####", "(___) ___-____"},
      {"%zd0.00", 'z', 'd', 8, "0.00", "0.00"},
      // Not a valid pair: the whole text is the string's first value.
      {"%sdHello", 's', 's', 40, nullptr, "%sdHello"},
      {"%ssHello", 's', 's', 37, nullptr, "Hello"},
      // A range prefix without its closing bar stays part of the mask.
      {"%nl|0;100*0", 'n', 'l', 4, "|0;100*0", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.spec);
    HWND field = CreateField(c.spec);
    ASSERT_TRUE(field);
    EXPECT_EQ(SendMessageA(field, HEM_GETTYPE, 0, 0), c.type);
    EXPECT_EQ(SendMessageA(field, HEM_GETSTORAGE, 0, 0), c.storage);
    EXPECT_EQ(SendMessageA(field, HEM_GETVALUESIZE, 0, 0), c.valueSize);
    const char* mask = reinterpret_cast<const char*>(SendMessageA(field, HEM_GETMASKPTR, 0, 0));
    if (c.mask) {
      ASSERT_TRUE(mask);
      EXPECT_STREQ(mask, c.mask);
    } else {
      EXPECT_EQ(mask, nullptr);
    }
    if (c.text) {
      EXPECT_EQ(Text(field), c.text);
    }
    EXPECT_TRUE(State(field) & HES_DISPLAY);
    DestroyWindow(field);
  }
}

TEST_F(HEditValueTest, StringLimitsComeFromTheSpecification) {
  HWND limited = CreateField("%ss20Hello");
  EXPECT_EQ(SendMessageA(limited, HEM_GETMAXLENGTH, 0, 0), 20);
  EXPECT_EQ(Text(limited), "Hello");
  HWND open = CreateField("%ssHello", 0, 200, 24, 101, 10, 40);
  EXPECT_EQ(SendMessageA(open, HEM_GETMAXLENGTH, 0, 0), 5 + 31);
  // A limit shorter than the text keeps what fits.
  HWND cut = CreateField("%ss3Hello", 0, 200, 24, 102, 10, 70);
  EXPECT_EQ(Text(cut), "Hel");
}

TEST_F(HEditValueTest, FixedPointFieldsEditRightAligned) {
  HWND field = CreateField("%zd0.00");
  EXPECT_TRUE(SendMessageA(field, HEM_GETSTYLE, 0, 0) & HS_EDITRIGHT);
  Focus(field);
  EXPECT_TRUE(State(field) & HES_RIGHT);
  Leave();
  EXPECT_FALSE(State(field) & HES_RIGHT);  // the display form follows ES_RIGHT
}

TEST_F(HEditValueTest, ADateTypedDigitByDigitIsCommittedWhenTheFocusLeaves) {
  HWND field = CreateField("%dd");
  Focus(field);
  EXPECT_EQ(form_->Codes(), std::vector<WORD>{kSetFocus});
  EXPECT_EQ(Text(field), " / /    ");
  EXPECT_EQ(Selection(field), std::make_pair(0, 8));  // all of it, ready to be replaced

  Type(field, "12252024");
  EXPECT_EQ(Text(field), "12/25/2024");
  // Every accepted character is announced before and after the change.
  const std::vector<WORD> codes = form_->Codes();
  ASSERT_GE(codes.size(), 2u);
  EXPECT_EQ(codes[codes.size() - 2], kUpdate);
  EXPECT_EQ(codes.back(), kChange);
  EXPECT_EQ(form_->CountOf(kChange), form_->CountOf(kUpdate));
  EXPECT_TRUE(SendMessageA(field, HEM_GETMODIFY, 0, 0));

  form_->ClearNotifications();
  Leave();
  EXPECT_EQ(form_->Codes(), std::vector<WORD>{kKillFocus});
  char stored[8] = {};
  ASSERT_EQ(SendMessageA(field, HEM_GETVALUE, 0, reinterpret_cast<LPARAM>(stored)), 6);
  char iso[16] = {};
  exports_.formatData(stored, 'd', 'd', "yyyy-mm-dd", iso, sizeof iso, nullptr, 0);
  EXPECT_STREQ(iso, "2024-12-25");
  EXPECT_EQ(Text(field), "12/25/2024");
  EXPECT_TRUE(State(field) & HES_DISPLAY);
  EXPECT_FALSE(State(field) & HES_DIRTY);
}

TEST_F(HEditValueTest, BoundsApplyUnlessTheParentAnswers) {
  HWND field = CreateField("%nl|10;100|");
  EXPECT_EQ(ValueOf<LONG>(field), 10) << "a new field starts inside its range";

  Retype(field, "150");
  Leave();
  EXPECT_EQ(form_->CountOf(HEN_ABOVEMAX), 1);
  EXPECT_EQ(ValueOf<LONG>(field), 100);
  EXPECT_EQ(Text(field), "100");

  Retype(field, "5");
  Leave();
  EXPECT_EQ(form_->CountOf(HEN_BELOWMIN), 1);
  EXPECT_EQ(ValueOf<LONG>(field), 10);

  form_->AnswerCode(HEN_ABOVEMAX);
  Retype(field, "150");
  Leave();
  EXPECT_EQ(ValueOf<LONG>(field), 150) << "an answered bound keeps the value";
}

TEST_F(HEditValueTest, ARefusedValueIsReportedAndAnAnswerRestoresThePreviousOne) {
  HWND field = CreateField("%nl");
  Retype(field, "42");
  Leave();
  ASSERT_EQ(ValueOf<LONG>(field), 42);

  SendMessageA(field, HEM_SETVALIDATOR, 0, reinterpret_cast<LPARAM>(CountingValidator));
  g_validatorAnswer = 7;
  Retype(field, "99");
  form_->ClearNotifications();
  EXPECT_EQ(SendMessageA(field, HEM_COMMIT, 1, 0), 7) << "the validator's refusal is the error";
  EXPECT_EQ(form_->CountOf(HEN_INVALID), 1);
  EXPECT_EQ(ValueOf<LONG>(field), 99) << "unanswered, the parsed value stays";
  EXPECT_EQ(GetFocus(), field) << "a refusal keeps the focus";

  form_->AnswerCode(HEN_INVALID);
  Type(field, "1");
  EXPECT_EQ(SendMessageA(field, HEM_COMMIT, 1, 0), 0) << "an answer clears the error";
  EXPECT_EQ(ValueOf<LONG>(field), 99) << "and brings the previous value back";
}

TEST_F(HEditValueTest, AValidatorRefusalAtFocusLossBringsTheFocusBack) {
  HWND field = CreateField("%nl");
  SendMessageA(field, HEM_SETVALIDATOR, 0, reinterpret_cast<LPARAM>(CountingValidator));
  g_validatorAnswer = 1;
  Retype(field, "3");
  Leave();
  EXPECT_GE(g_validatorCalls, 1);
  EXPECT_EQ(GetFocus(), field);
  EXPECT_EQ(SendMessageA(field, HEM_VALIDATE, 0, 0), 1);
  SendMessageA(field, HEM_SETVALIDATOR, 0, 0);
  EXPECT_EQ(SendMessageA(field, HEM_VALIDATE, 0, 0), -1);
}

TEST_F(HEditValueTest, UndoTwiceReturnsToTheTypedText) {
  HWND field = CreateField("%ssabc");
  Focus(field);
  SendMessageA(field, HEM_SETSELECTION, 3, 3);
  Type(field, "def");
  ASSERT_EQ(Text(field), "abcdef");
  EXPECT_EQ(SendMessageA(field, EM_UNDO, 0, 0), 1);
  EXPECT_EQ(Text(field), "abc");
  SendMessageA(field, WM_UNDO, 0, 0);
  EXPECT_EQ(Text(field), "abcdef");
  Leave();
  char value[16] = {};
  SendMessageA(field, HEM_GETVALUE, sizeof value, reinterpret_cast<LPARAM>(value));
  EXPECT_STREQ(value, "abcdef");
}

TEST_F(HEditValueTest, OverwriteModeIsSharedByEveryFieldAndReplacesCharacters) {
  HWND first = CreateField("%ssabcd");
  HWND second = CreateField("%ssxyz", 0, 200, 24, 101, 10, 40);
  ASSERT_EQ(SendMessageA(first, HEM_GETOVERWRITE, 0, 0), 0);
  Focus(first);
  Press(first, VK_INSERT);
  EXPECT_EQ(SendMessageA(second, HEM_GETOVERWRITE, 0, 0), 1);
  SendMessageA(first, HEM_SETSELECTION, 1, 1);
  Type(first, "XY");
  EXPECT_EQ(Text(first), "aXYd");
  Type(first, "ZW");  // the last character replaced, then one added at the end
  EXPECT_EQ(Text(first), "aXYZW");
  // Typing over a selection inserts in place of it, even in overwrite mode.
  SendMessageA(first, HEM_SETSELECTION, 0, 2);
  Type(first, "Q");
  EXPECT_EQ(Text(first), "QYZW");
  SendMessageA(first, HEM_SETOVERWRITE, 0, 0);
}

TEST_F(HEditValueTest, F2ShowsTheDisplayFormWhileHeld) {
  HWND field = CreateField("%nd#,##0.00");
  Retype(field, "1234.5");
  SendMessageA(field, WM_KEYDOWN, VK_F2, 0);
  EXPECT_TRUE(State(field) & HES_DISPLAY);
  EXPECT_EQ(Text(field), "1,234.50");
  Type(field, "9");  // keys and characters wait for the release
  SendMessageA(field, WM_KEYUP, VK_F2, 0);
  EXPECT_FALSE(State(field) & HES_DISPLAY);
  EXPECT_EQ(ValueOf<double>(field), 1234.5);
}

TEST_F(HEditValueTest, ReadOnlyFieldsRefuseEveryChange) {
  HWND field = CreateField("%ssfixed", HS_READONLY);
  Focus(field);
  form_->ClearNotifications();
  SendMessageA(field, HEM_SETSELECTION, 5, 5);
  Type(field, "x\b");
  Press(field, VK_DELETE);
  EXPECT_EQ(Text(field), "fixed");
  EXPECT_EQ(form_->CountOf(kChange), 0);
}

TEST_F(HEditValueTest, AFullStringFieldTellsTheParentOrGrows) {
  HWND limited = CreateField("%ss3ab");
  Focus(limited);
  SendMessageA(limited, HEM_SETSELECTION, 2, 2);
  Type(limited, "cd");
  EXPECT_EQ(Text(limited), "abc");
  EXPECT_EQ(form_->CountOf(EN_MAXTEXT), 1);

  HWND open = CreateField("%ssab", ES_AUTOHSCROLL, 200, 24, 101, 10, 40);
  ASSERT_EQ(SendMessageA(open, HEM_GETMAXLENGTH, 0, 0), 33);
  Focus(open);
  SendMessageA(open, HEM_SETSELECTION, 2, 2);
  const std::string more(40, 'x');
  Type(open, more);
  EXPECT_EQ(Text(open), "ab" + more);
  EXPECT_EQ(SendMessageA(open, HEM_GETMAXLENGTH, 0, 0), 65);
}

TEST_F(HEditValueTest, AValueTooLongForTheStorageIsRefusedWithoutDamage) {
  HWND field = CreateField("%ss10Hello");
  const std::string huge(32765, 'y');
  EXPECT_EQ(SendMessageA(field, HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(huge.c_str())), -5);
  EXPECT_EQ(SendMessageA(field, HEM_GETMAXLENGTH, 0, 0), 10);
  EXPECT_EQ(Text(field), "Hello");
  const std::string longer(100, 'z');
  EXPECT_EQ(SendMessageA(field, HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(longer.c_str())), 1);
  EXPECT_EQ(Text(field), longer);
  EXPECT_EQ(SendMessageA(field, HEM_GETMAXLENGTH, 0, 0), 132);
}

TEST_F(HEditValueTest, BackspaceTakesTheSelectionOnlyAndAlwaysReportsAChange) {
  HWND field = CreateField("%ssHello");
  Focus(field);
  SendMessageA(field, HEM_SETSELECTION, 1, 3);
  Type(field, "\b");
  EXPECT_EQ(Text(field), "Hlo");
  SendMessageA(field, HEM_SETSELECTION, 0, 0);
  form_->ClearNotifications();
  Type(field, "\b");
  EXPECT_EQ(Text(field), "Hlo");
  EXPECT_EQ(form_->Codes(), std::vector<WORD>{kChange});
}

TEST_F(HEditValueTest, KeysThatTheParentActsOn) {
  HWND field = CreateField("%ssx");
  Focus(field);
  form_->ClearNotifications();
  Press(field, VK_RETURN);
  Press(field, VK_ESCAPE);
  Press(field, VK_F1);
  EXPECT_EQ(form_->Codes(), (std::vector<WORD>{HEN_ENTER, HEN_ESCAPE, HEN_HELP, HEN_ESCAPE}));
}

TEST_F(HEditValueTest, NumbersTypedIntoAFullBufferGrowIt) {
  HWND field = CreateField("%nd");
  Retype(field, std::string(120, '7'));
  EXPECT_GE(Text(field).size(), 40u) << "the text went past its first buffer";
  Leave();
  EXPECT_GT(ValueOf<double>(field), 1e39);
}

// No buffer is written past its size, whatever the text and the mask.
TEST_F(HEditValueTest, TextValuesStayInsideTheirBuffers) {
  HWND unmasked = CreateField("%ms");
  ASSERT_EQ(SendMessageA(unmasked, HEM_GETVALUESIZE, 0, 0), 1);
  Retype(unmasked, "abcdef");
  Leave();
  char value[8] = "xxxxxxx";
  SendMessageA(unmasked, HEM_GETVALUE, sizeof value, reinterpret_cast<LPARAM>(value));
  EXPECT_STREQ(value, "");

  HWND text = CreateField("%ssHello world", 0, 200, 24, 101, 10, 40);
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(SendMessageA(text, HEM_GETVALUE, 3, reinterpret_cast<LPARAM>(small)), 2);
  EXPECT_STREQ(small, "He");
  EXPECT_EQ(small[3], 'x');
  EXPECT_EQ(SendMessageA(text, HEM_GETVALUE, 3, 0), 0) << "no buffer, nothing copied";
}

// A parent may destroy the field from any notification; the field then stops at
// once and frees everything.
TEST_F(HEditValueTest, TheParentMayDestroyTheFieldInsideAnyNotification) {
  struct Case {
    WORD code;
    const char* spec;
    void (*provoke)(HEditValueTest&, HWND);
  };
  const Case cases[] = {
      {kSetFocus, "%ssabc", [](HEditValueTest& t, HWND f) { t.Focus(f); }},
      {kUpdate, "%ssabc", [](HEditValueTest& t, HWND f) { t.Retype(f, "xy"); }},
      {kChange, "%ssabc", [](HEditValueTest& t, HWND f) { t.Retype(f, "xy"); }},
      {kKillFocus, "%nl", [](HEditValueTest& t, HWND f) { t.Retype(f, "5"), t.Leave(); }},
      {HEN_ABOVEMAX, "%nl|0;9|", [](HEditValueTest& t, HWND f) { t.Retype(f, "50"), t.Leave(); }},
      {HEN_BELOWMIN, "%nl|5;9|", [](HEditValueTest& t, HWND f) { t.Retype(f, "1"), t.Leave(); }},
      {EN_MAXTEXT, "%ss2ab",
       [](HEditValueTest& t, HWND f) {
         t.Focus(f);
         SendMessageA(f, HEM_SETSELECTION, 2, 2);
         Type(f, "cd");
       }},
      {HEN_HELP, "%ssab", [](HEditValueTest& t, HWND f) { t.Focus(f), Press(f, VK_F1); }},
      {HEN_TAB, "%ssab", [](HEditValueTest& t, HWND f) { t.Focus(f), Press(f, VK_TAB); }},
      {EN_HSCROLL, "%ss",
       [](HEditValueTest& t, HWND f) {
         t.Focus(f);
         Type(f, std::string(60, 'w'));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    auto form = std::make_unique<FormWindow>();
    std::swap(form, form_);
    HWND field = CreateField(c.spec, ES_AUTOHSCROLL);
    form_->DestroyOnCode(c.code);
    c.provoke(*this, field);
    PumpMessages();
    EXPECT_FALSE(IsWindow(field));
    EXPECT_EQ(form_->CountOf(c.code), 1);
    std::swap(form, form_);
  }
}

TEST_F(HEditValueTest, TheValidatorMayDestroyTheField) {
  // At focus loss, and on an explicit commit; accepting and refusing.
  for (int answer : {0, 7}) {
    SCOPED_TRACE(answer);
    g_validatorAnswer = answer;
    HWND leaving = CreateField("%nl");
    SendMessageA(leaving, HEM_SETVALIDATOR, 0, reinterpret_cast<LPARAM>(DestroyingValidator));
    Retype(leaving, "5");
    Leave();
    EXPECT_FALSE(IsWindow(leaving));

    HWND committed = CreateField("%ss");
    SendMessageA(committed, HEM_SETVALIDATOR, 0, reinterpret_cast<LPARAM>(DestroyingValidator));
    Retype(committed, "gone");
    SendMessageA(committed, HEM_COMMIT, 1, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(committed));
  }
  // A field destroyed while it has the focus loses it on the way, which commits
  // once more: each commit asked at least once.
  EXPECT_GE(g_validatorCalls, 4);
}

// Heap blocks count the control storage too: its blocks come from the process heap.
// Fields of every type, of both classes, typed into, committed and painted.
TEST_F(HEditValueTest, AThousandFieldsLeaveNoHandlesOrMemoryBehind) {
  struct Kind {
    const char* spec;
    DWORD style;
    const char* typed;
  };
  static const Kind kinds[] = {
      {"%nd|0;1000|#,##0.00", 0, "1234.5"},
      {"%dd", 0, "12252024"},
      {"%tt", 0, "103045"},
      {"%bwYes;No", 0, "y"},
      {"%ms(###) ###-####", 0, "5551234567"},
      {"%zd0.00", 0, "12.34"},
      {"%ssFirst value", ES_PASSWORD, "a longer text that makes the field grow its buffer"},
      {"%nl[red]#,##0;[255,0,128]-#,##0", WS_BORDER, "-42"},
      {"%ss20text", 0, "123"},
      {"%hh", 0, "B"},
  };
  // Messages are delivered directly; one pump per round lets the paints run.
  auto cycle = [&] {
    for (int i = 0; i < 50; ++i) {
      const Kind& kind = kinds[i % (sizeof kinds / sizeof kinds[0])];
      HWND field = CreateWindowExA(0, i % 3 ? "HEdit" : "HEdit_SS", kind.spec,
                                   WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | kind.style, 10, 10, 200,
                                   24, form_->hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
      SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), 0);
      SetFocus(field);
      SendMessageA(field, HEM_SETSELECTION, 0, -1);
      Type(field, kind.typed);
      Press(field, VK_HOME);
      Press(field, VK_DELETE);
      SendMessageA(field, HEM_COMMIT, 0, 0);
      SetFocus(elsewhere_);
      DestroyWindow(field);
    }
    PumpMessages();
  };
  cycle();
  const long gdiBefore = quorvan::testing::GdiObjects();
  const long userBefore = quorvan::testing::UserObjects();
  ASSERT_GT(gdiBefore, 0) << "GDI objects cannot be counted here";
  const long heapGrowth = quorvan::testing::HeapGrowth(20, cycle);
  EXPECT_LE(quorvan::testing::GdiObjects(), gdiBefore);
  EXPECT_LE(quorvan::testing::UserObjects(), userBefore);
  EXPECT_LE(heapGrowth, 0) << "heap blocks left by 1,000 fields";
}

}  // namespace
}  // namespace hedit_tests
