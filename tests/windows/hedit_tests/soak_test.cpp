// A thousand fields made, used and destroyed on one form: every type, focused,
// typed into, committed, painted, some with a button, and destroyed. Whatever a
// field keeps after its window is gone (storage blocks, brushes, fonts, button
// windows) shows a thousand times over.
#include <windows.h>

#include "tests/support/gui_objects.h"
#include "tests/support/heap_blocks.h"
#include "tests/windows/hedit_tests/hedit_fixture.h"

namespace hedit_tests {
namespace {

using quillet::HEM_COMMIT;
using quillet::HEM_SETSELECTION;

class HEditSoak : public HEditTest {};

TEST_F(HEditSoak, AThousandFieldsLeaveNoStorageOrObjectsBehind) {
  struct Kind {
    const char* spec;
    DWORD style;
    const char* typed;
  };
  const Kind kinds[] = {
      {"%nd|0;1000|#,##0.00", 0, "1234.5"},
      {"%dd", 0, "12252024"},
      {"%tt", 0, "103045"},
      {"%bwYes;No", 0, "y"},
      {"%ms(###) ###-####", 0, "5551234567"},
      {"%zd0.00", 0, "12.34"},
      {"%ssFirst value", ES_PASSWORD, "a longer text that makes the field grow its buffer"},
      {"%nl[red]#,##0;[255,0,128]-#,##0", WS_BORDER, "-42"},
  };
  HWND elsewhere = CreateField("%ss", 0, 80, 24, 200, 10, 60);
  auto cycle = [&](int i) {
    const Kind& kind = kinds[i % (sizeof kinds / sizeof kinds[0])];
    HWND field = CreateField(kind.spec, kind.style, 200, 24, 100 + i % 50, 10, 10,
                             i % 2 ? "HEdit" : "HEdit_SS");
    if (!field) return;
    SetFocus(field);
    SendMessageA(field, HEM_SETSELECTION, 0, -1);
    Type(field, kind.typed);
    Press(field, VK_HOME);
    Press(field, VK_DELETE);
    SendMessageA(field, HEM_COMMIT, 0, 0);
    InvalidateRect(field, nullptr, TRUE);
    UpdateWindow(field);
    SetFocus(elsewhere);
    DestroyWindow(field);
  };
  // A round of every kind first: what the system and the storage keep once is
  // not a leak.
  for (int i = 0; i < 8; ++i) cycle(i);
  PumpMessages();
  const long gdiBefore = quorvan::testing::GdiObjects();
  const long userBefore = quorvan::testing::UserObjects();
  const long heapBefore = static_cast<long>(quorvan::testing::BusyHeapBlocks());
  for (int i = 0; i < 1000; ++i) cycle(i);
  PumpMessages();
  EXPECT_EQ(quorvan::testing::GdiObjects(), gdiBefore);
  EXPECT_EQ(quorvan::testing::UserObjects(), userBefore);
  // The storage gives its blocks back when their last chunk goes; one chunk or
  // block a field would be a thousand.
  EXPECT_LT(static_cast<long>(quorvan::testing::BusyHeapBlocks()) - heapBefore, 16);
}

}  // namespace
}  // namespace hedit_tests
