// Cut, copy and paste of HEdit fields through the real clipboard, the host's
// HEM_COPYSELECTION and HEM_INSERTTEXT, and the keys that lead to them. Each
// case puts its own text on the clipboard first; the group gives back what the
// clipboard held before it ran.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/heap_blocks.h"
#include "tests/windows/hedit_tests/hedit_fixture.h"

namespace hedit_tests {
namespace {

using namespace quillet;  // the message and flag names hosts use

constexpr const char* kSentinel = "sentinel";

// The clipboard opened by a window of the test, closed on every way out.
class ClipboardOpen {
 public:
  explicit ClipboardOpen(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~ClipboardOpen() {
    if (open_) CloseClipboard();
  }
  ClipboardOpen(const ClipboardOpen&) = delete;
  ClipboardOpen& operator=(const ClipboardOpen&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// CF_TEXT on the clipboard; nothing when it holds no text.
std::optional<std::string> ClipboardText(HWND owner) {
  ClipboardOpen clipboard(owner);
  if (!clipboard.IsOpen() || !IsClipboardFormatAvailable(CF_TEXT)) return std::nullopt;
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) return std::nullopt;
  const char* text = static_cast<const char*>(GlobalLock(data));
  if (!text) return std::nullopt;
  std::string copy(text, strnlen(text, GlobalSize(data)));
  GlobalUnlock(data);
  return copy;
}

// Replaces the clipboard's contents with text (nothing: empties it).
bool SetClipboardText(HWND owner, const std::optional<std::string>& text) {
  ClipboardOpen clipboard(owner);
  if (!clipboard.IsOpen() || !EmptyClipboard()) return false;
  if (!text) return true;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text->size() + 1);
  if (!memory) return false;
  if (void* bytes = GlobalLock(memory)) {
    std::memcpy(bytes, text->c_str(), text->size() + 1);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_TEXT, memory)) return true;
  }
  GlobalFree(memory);
  return false;
}

// Shift and Ctrl as GetKeyState sees them on this thread, for as long as the
// object lives.
class HeldModifiers {
 public:
  explicit HeldModifiers(const std::vector<int>& keys) {
    GetKeyboardState(saved_);
    BYTE state[256];
    std::memcpy(state, saved_, sizeof state);
    for (int key : {VK_SHIFT, VK_CONTROL, VK_LSHIFT, VK_LCONTROL}) state[key] = 0;
    for (int key : keys) state[key] = 0x80;
    SetKeyboardState(state);
  }
  ~HeldModifiers() { SetKeyboardState(saved_); }
  HeldModifiers(const HeldModifiers&) = delete;
  HeldModifiers& operator=(const HeldModifiers&) = delete;

 private:
  BYTE saved_[256] = {};
};

class HEditClipboardTest : public HEditTest {
 public:
  static void SetUpTestSuite() { saved_ = ClipboardText(nullptr); }
  static void TearDownTestSuite() { SetClipboardText(nullptr, saved_); }

 protected:
  void SetUp() override {
    HEditTest::SetUp();
    ASSERT_TRUE(SetClipboardText(form_->hwnd(), std::string(kSentinel)));
  }

  std::optional<std::string> Clipboard() const { return ClipboardText(form_->hwnd()); }
  void PutOnClipboard(const std::string& text) {
    ASSERT_TRUE(SetClipboardText(form_->hwnd(), text));
  }
  static void Focus(HWND field) {
    SetFocus(field);
    PumpMessages();
  }
  static void Select(HWND field, int anchor, int caret) {
    SendMessageA(field, HEM_SETSELECTION, static_cast<WPARAM>(anchor), caret);
  }
  static LRESULT Send(HWND field, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(field, message, wParam, lParam);
  }
  static LRESULT InsertText(HWND field, const char* text) {
    return Send(field, HEM_INSERTTEXT, 0, reinterpret_cast<LPARAM>(text));
  }
  // A focused string field holding text (typed, so the edit form is the text).
  HWND StringField(const char* text, DWORD style = 0) {
    HWND field = CreateField("%ss", style | ES_AUTOHSCROLL);
    Focus(field);
    Type(field, text);
    form_->ClearNotifications();
    return field;
  }

 private:
  static inline std::optional<std::string> saved_;  // what the clipboard held before
};

TEST_F(HEditClipboardTest, CopyPutsTheSelectedEditFormWithItsLiteralsOnTheClipboard) {
  HWND field = CreateField("%ms(###) ###-####");
  Focus(field);
  Type(field, "5551234567");
  ASSERT_EQ(Text(field), "(555) 123-4567");
  form_->ClearNotifications();
  struct Case {
    int anchor, caret;
    const char* copied;
  };
  const Case cases[] = {
      {0, -1, "(555) 123-4567"}, {1, 4, "555"}, {4, 1, "555"},
      {3, 10, "5) 123-"},        {13, 14, "7"}, {14, 0, "(555) 123-4567"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.anchor) + ".." + std::to_string(c.caret));
    PutOnClipboard(kSentinel);
    Select(field, c.anchor, c.caret);
    const auto selection = Selection(field);
    EXPECT_NE(Send(field, WM_COPY), 0);
    EXPECT_EQ(Clipboard(), std::string(c.copied));
    EXPECT_EQ(Text(field), "(555) 123-4567") << "copying changes nothing";
    EXPECT_EQ(Selection(field), selection);
  }
  EXPECT_EQ(form_->CountOf(EN_CHANGE), 0);
}

TEST_F(HEditClipboardTest, CopyAndCutWithoutASelectionLeaveTheClipboardAlone) {
  HWND field = StringField("hello world");
  for (int position : {0, 5, 11}) {
    SCOPED_TRACE(position);
    Select(field, position, position);
    EXPECT_EQ(Send(field, WM_COPY), 1);
    EXPECT_EQ(Send(field, WM_CUT), 1);
    EXPECT_EQ(Clipboard(), std::string(kSentinel));
    EXPECT_EQ(Text(field), "hello world");
  }
  EXPECT_EQ(form_->CountOf(EN_CHANGE), 0);
}

TEST_F(HEditClipboardTest, CutCopiesTheSelectionAndDeletesIt) {
  HWND field = StringField("hello world");
  Select(field, 5, 0);
  EXPECT_EQ(Send(field, WM_CUT), 1);
  EXPECT_EQ(Clipboard(), std::string("hello"));
  EXPECT_EQ(Text(field), " world");
  EXPECT_EQ(Selection(field), std::make_pair(0, 0));
  EXPECT_GE(form_->CountOf(EN_CHANGE), 1);
  EXPECT_TRUE(Send(field, HEM_GETSTATE) & HES_DIRTY);

  // In a masked field the digits go and the literals stay where they are.
  HWND phone = CreateField("%ms(###) ###-####", 0, 200, 24, 101, 10, 40);
  Focus(phone);
  Type(phone, "5551234567");
  Select(phone, 6, 9);
  EXPECT_EQ(Send(phone, WM_CUT), 1);
  EXPECT_EQ(Clipboard(), std::string("123"));
  const std::string left = Text(phone);
  EXPECT_EQ(left.substr(0, 6), "(555) ");
  EXPECT_EQ(left.find("123"), std::string::npos) << left;
}

TEST_F(HEditClipboardTest, PasswordFieldsRefuseCopyAndCutButTakeAPaste) {
  HWND field = StringField("secret", ES_PASSWORD);
  Select(field, 0, -1);
  EXPECT_EQ(Send(field, WM_COPY), 0);
  EXPECT_EQ(Send(field, WM_CUT), 0);
  {
    HeldModifiers control({VK_CONTROL});
    Send(field, WM_KEYDOWN, 'C');
    Send(field, WM_KEYDOWN, 'X');
  }
  EXPECT_EQ(Clipboard(), std::string(kSentinel)) << "the hidden text never leaves the field";
  EXPECT_EQ(Text(field), "secret");
  EXPECT_EQ(Selection(field), std::make_pair(0, 6));
  EXPECT_EQ(form_->CountOf(EN_CHANGE), 0);

  PutOnClipboard("opensesame");
  EXPECT_NE(Send(field, WM_PASTE), 0);
  EXPECT_EQ(Text(field), "opensesame");
}

TEST_F(HEditClipboardTest, ReadOnlyFieldsRefuseCutAndAPasteChangesNothing) {
  HWND field = CreateField("%ssfixed text", HS_READONLY | ES_AUTOHSCROLL);
  Focus(field);
  Select(field, 2, 5);
  form_->ClearNotifications();

  EXPECT_EQ(Send(field, WM_CUT), 0);
  EXPECT_EQ(Clipboard(), std::string(kSentinel));

  PutOnClipboard("new");
  EXPECT_NE(Send(field, WM_PASTE), 0);
  EXPECT_EQ(InsertText(field, "other"), 1);
  {
    HeldModifiers shift({VK_SHIFT});
    Send(field, WM_KEYDOWN, VK_INSERT);
    Send(field, WM_KEYDOWN, VK_DELETE);
  }
  EXPECT_EQ(Text(field), "fixed text") << "the selection is not deleted either";
  EXPECT_EQ(Selection(field), std::make_pair(2, 5));
  EXPECT_EQ(form_->CountOf(EN_CHANGE), 0);
  EXPECT_EQ(form_->CountOf(EN_UPDATE), 0);
  EXPECT_FALSE(Send(field, HEM_GETSTATE) & HES_DIRTY);

  // Reading is still allowed.
  EXPECT_NE(Send(field, WM_COPY), 0);
  EXPECT_EQ(Clipboard(), std::string("xed"));
}

TEST_F(HEditClipboardTest, APasteIsTypedThroughTheMask) {
  HWND field = CreateField("%nl");
  Focus(field);
  Select(field, 0, -1);
  PutOnClipboard("12a34");
  form_->ClearNotifications();
  EXPECT_NE(Send(field, WM_PASTE), 0);
  EXPECT_EQ(Text(field), "1234") << "the letter is refused, the digits go in";
  EXPECT_GE(form_->CountOf(EN_CHANGE), 4);
  LONG value = 0;
  Send(field, HEM_GETVALUE, sizeof value, reinterpret_cast<LPARAM>(&value));
  EXPECT_EQ(value, 1234);

  // The same text into a phone mask fills its digit places around the literals.
  HWND phone = CreateField("%ms(###) ###-####", 0, 200, 24, 101, 10, 40);
  Focus(phone);
  Select(phone, 0, 0);
  PutOnClipboard("555x1234567");
  Send(phone, WM_PASTE);
  EXPECT_EQ(Text(phone), "(555) 123-4567");
}

TEST_F(HEditClipboardTest, APasteStopsAtTheLimitOfALimitedStringField) {
  HWND limited = CreateField("%ss5ab");
  Focus(limited);
  Select(limited, 2, 2);
  form_->ClearNotifications();
  PutOnClipboard("cdefgh");
  EXPECT_NE(Send(limited, WM_PASTE), 0);
  EXPECT_EQ(Text(limited), "abcde");
  EXPECT_GE(form_->CountOf(EN_MAXTEXT), 1);
  EXPECT_EQ(Send(limited, HEM_GETMAXLENGTH), 5);

  // A field without a limit grows to take all of it.
  HWND open = CreateField("%ssab", ES_AUTOHSCROLL, 200, 24, 101, 10, 40);
  Focus(open);
  Select(open, 2, 2);
  const std::string more(100, 'q');
  PutOnClipboard(more);
  form_->ClearNotifications();
  Send(open, WM_PASTE);
  EXPECT_EQ(Text(open), "ab" + more);
  EXPECT_EQ(form_->CountOf(EN_MAXTEXT), 0);
}

TEST_F(HEditClipboardTest, APasteReplacesTheSelection) {
  HWND field = StringField("hello world");
  Select(field, 6, 11);
  PutOnClipboard("there");
  EXPECT_NE(Send(field, WM_PASTE), 0);
  EXPECT_EQ(Text(field), "hello there");
  EXPECT_EQ(Selection(field), std::make_pair(11, 11));
  EXPECT_EQ(Clipboard(), std::string("there")) << "a paste leaves the clipboard as it was";

  // A clipboard without text takes nothing away.
  ASSERT_TRUE(SetClipboardText(form_->hwnd(), std::nullopt));
  Select(field, 0, 5);
  EXPECT_NE(Send(field, WM_PASTE), 0);
  EXPECT_EQ(Text(field), "hello there");
  EXPECT_EQ(Selection(field), std::make_pair(0, 5));
}

TEST_F(HEditClipboardTest, ABusyClipboardFailsWithoutLosingText) {
  HWND field = StringField("hello world");
  Select(field, 0, 5);
  {
    ClipboardOpen held(form_->hwnd());
    ASSERT_TRUE(held.IsOpen());
    EXPECT_EQ(Send(field, WM_COPY), 0);
    EXPECT_EQ(Send(field, WM_CUT), 0);
    EXPECT_EQ(Send(field, WM_PASTE), 0);
  }
  EXPECT_EQ(Text(field), "hello world") << "a cut the clipboard did not take deletes nothing";
  EXPECT_EQ(Selection(field), std::make_pair(0, 5));
  EXPECT_EQ(Clipboard(), std::string(kSentinel));
}

TEST_F(HEditClipboardTest, CopySelectionNeverWritesPastTheCapacity) {
  HWND field = StringField("0123456789");
  Select(field, 7, 2);  // "23456"
  struct Case {
    int capacity;
    const char* written;  // null: nothing at all
  };
  const Case cases[] = {
      {0, nullptr}, {1, ""},      {2, "2"},      {4, "234"},    {5, "2345"},
      {6, "23456"}, {7, "23456"}, {40, "23456"}, {-1, "23456"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.capacity);
    char buffer[48];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(Send(field, HEM_COPYSELECTION, static_cast<WPARAM>(c.capacity),
                   reinterpret_cast<LPARAM>(buffer + 8)),
              1);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(buffer[i], '#') << "guard byte before, " << i;
    const size_t written = c.written ? std::strlen(c.written) + 1 : 0;
    if (c.written) {
      EXPECT_STREQ(buffer + 8, c.written);
    }
    for (size_t i = 8 + written; i < sizeof buffer; ++i) {
      EXPECT_EQ(buffer[i], '#') << "guard byte after, " << i;
    }
  }
  EXPECT_EQ(Send(field, HEM_COPYSELECTION, 10, 0), 1) << "a null buffer gets nothing";

  // Without a selection only the terminator is written.
  Select(field, 3, 3);
  char buffer[4] = {'#', '#', '#', '#'};
  Send(field, HEM_COPYSELECTION, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], '#');
  EXPECT_EQ(Clipboard(), std::string(kSentinel)) << "the clipboard is not involved";
}

TEST_F(HEditClipboardTest, InsertedTextIsTypedWithTheFieldsRules) {
  struct Case {
    DWORD style;
    const char* before;
    int anchor, caret;
    const char* inserted;  // may be null
    const char* after;
  };
  const Case cases[] = {
      {0, "hello", 5, 5, nullptr, "hello"},
      {0, "hello", 1, 4, nullptr, "hello"},
      {0, "hello", 5, 5, " world", "hello world"},
      {0, "hello", 1, 4, "ipp", "hippo"},
      {0, "hello", 0, 5, "", ""},
      {ES_UPPERCASE, "AB", 2, 2, "cd Ef1", "ABCD EF1"},
      {ES_LOWERCASE, "ab", 0, 0, "XY", "xyab"},
      {0, "ab", 2, 2, "c\td\re", "abcde"},
      {HS_READONLY, "hello", 1, 4, "xyz", "hello"},
  };
  int id = 100;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.before) + " + " + (c.inserted ? c.inserted : "(null)"));
    HWND field = CreateField((std::string("%ss") + c.before).c_str(), c.style | ES_AUTOHSCROLL, 200,
                             24, id++);
    Focus(field);
    Select(field, c.anchor, c.caret);
    EXPECT_EQ(InsertText(field, c.inserted), 1);
    EXPECT_EQ(Text(field), c.after);
    if (!c.inserted) {
      EXPECT_EQ(Selection(field), std::make_pair(c.anchor, c.caret));
    }
    EXPECT_TRUE(IsWindowVisible(field)) << "drawing is switched back on";
    DestroyWindow(field);
  }
}

TEST_F(HEditClipboardTest, TheClipboardKeysReachTheirMessages) {
  struct Case {
    const char* name;
    std::vector<int> modifiers;
    WPARAM key;
    const char* text;       // the field afterwards
    const char* clipboard;  // the clipboard afterwards
  };
  const Case cases[] = {
      {"Ctrl+C", {VK_CONTROL}, 'C', "hello world", "hello"},
      {"Ctrl+Insert", {VK_CONTROL}, VK_INSERT, "hello world", "hello"},
      {"Ctrl+X", {VK_CONTROL}, 'X', " world", "hello"},
      {"Shift+Delete", {VK_SHIFT}, VK_DELETE, " world", "hello"},
      {"Ctrl+V", {VK_CONTROL}, 'V', "paste world", "paste"},
      {"Shift+Insert", {VK_SHIFT}, VK_INSERT, "paste world", "paste"},
      {"Ctrl+Shift+Insert", {VK_CONTROL, VK_SHIFT}, VK_INSERT, "paste world", "paste"},
  };
  BYTE before[256];
  GetKeyboardState(before);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND field = StringField("hello world");
    Select(field, 0, 5);
    PutOnClipboard("paste");
    {
      HeldModifiers held(c.modifiers);
      ASSERT_TRUE(GetKeyState(c.modifiers.front()) & 0x8000);
      Send(field, WM_KEYDOWN, c.key);
    }
    EXPECT_EQ(Text(field), c.text);
    EXPECT_EQ(Clipboard(), std::string(c.clipboard));
    DestroyWindow(field);
  }
  BYTE after[256];
  GetKeyboardState(after);
  EXPECT_EQ(std::memcmp(before, after, sizeof before), 0) << "the keyboard state is restored";
  EXPECT_FALSE(GetKeyState(VK_CONTROL) & 0x8000);
}

TEST_F(HEditClipboardTest, CtrlCSwallowsItsControlCharacterAndKeepsTheSelection) {
  HWND field = StringField("hello world");
  Select(field, 0, 5);
  {
    HeldModifiers control({VK_CONTROL});
    Send(field, WM_KEYDOWN, 'C');
  }
  EXPECT_TRUE(Send(field, HEM_GETSTATE) & HES_SKIPCHAR);
  Send(field, WM_CHAR, 3);
  EXPECT_FALSE(Send(field, HEM_GETSTATE) & HES_SKIPCHAR);
  EXPECT_EQ(Clipboard(), std::string("hello"));
  EXPECT_EQ(Text(field), "hello world");
  EXPECT_EQ(Selection(field), std::make_pair(0, 5));
  EXPECT_EQ(form_->CountOf(EN_CHANGE), 0);

  // Only that one character: the next one is typed over the selection.
  Type(field, "J");
  EXPECT_EQ(Text(field), "J world");

  // An inserted text is not what the skip waits for: it goes in whole, and the
  // skip stays for the keyboard's control character.
  Select(field, 0, 1);
  {
    HeldModifiers control({VK_CONTROL});
    Send(field, WM_KEYDOWN, 'C');
  }
  Select(field, 0, 0);
  InsertText(field, "Hi");
  EXPECT_EQ(Text(field), "HiJ world");
  EXPECT_TRUE(Send(field, HEM_GETSTATE) & HES_SKIPCHAR);
  Send(field, WM_CHAR, 3);
  EXPECT_FALSE(Send(field, HEM_GETSTATE) & HES_SKIPCHAR);
  EXPECT_EQ(Text(field), "HiJ world");
}

TEST_F(HEditClipboardTest, AFieldDestroyedWhilePastingLeavesTheClipboardUsable) {
  for (WORD code : {EN_UPDATE, EN_CHANGE}) {
    SCOPED_TRACE(code);
    form_ = std::make_unique<FormWindow>();  // one that destroys nothing else
    HWND field = StringField("hello world");
    Select(field, 0, 5);
    PutOnClipboard("abc");
    form_->DestroyOnCode(code);
    Send(field, WM_PASTE);
    PumpMessages();
    EXPECT_FALSE(IsWindow(field));
    EXPECT_EQ(Clipboard(), std::string("abc")) << "the clipboard was closed and unlocked";
  }
}

TEST_F(HEditClipboardTest, CopyAndPasteRoundsLeaveNoHeapBlocksBehind) {
  HWND source = StringField("(555) 123-4567");
  HWND target = CreateField("%ss", ES_AUTOHSCROLL, 200, 24, 101, 10, 40);
  // Two texts put on the clipboard and two taken from it in every round.
  auto round = [&] {
    Select(source, 0, -1);
    Send(source, WM_COPY);
    Select(target, 0, -1);
    Send(target, WM_PASTE);
    Select(source, 0, 3);
    Send(source, WM_CUT);
    Select(source, 0, 0);
    Send(source, WM_PASTE);
    char buffer[32];
    Send(target, HEM_COPYSELECTION, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  };
  // The system may keep blocks of its own for the texts it hands out; the same
  // clipboard calls made directly show how many.
  HWND form = form_->hwnd();
  auto systemRound = [&] {
    for (int i = 0; i < 2; ++i) {
      SetClipboardText(form, std::string("(555) 123-4567"));
      ClipboardText(form);
    }
  };
  const long systemGrowth = quorvan::testing::HeapGrowth(200, systemRound);
  const long growth = quorvan::testing::HeapGrowth(200, round);
  EXPECT_EQ(Text(source), "(555) 123-4567");
  EXPECT_EQ(Text(target), "(555) 123-4567");
  EXPECT_LE(growth, systemGrowth + 20)
      << "heap blocks left by 200 rounds; the system's own calls left " << systemGrowth;
}

}  // namespace
}  // namespace hedit_tests
