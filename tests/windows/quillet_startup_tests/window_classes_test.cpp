// What loading Quillet does to the process: its two edit classes are there, as
// any window of the host can use them, and an unload takes them away again.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/loaded_library.h"

namespace {

using quorvan::host::LoadedLibrary;

constexpr UINT kClassStyle = 0x400B;  // global, double clicks, redraw on resize

int EditWindowExtra() {
  WNDCLASSA edit{};
  GetClassInfoA(nullptr, "edit", &edit);
  return edit.cbWndExtra;
}

TEST(QuilletClasses, BothClassesAreRegisteredAlike) {
  LoadedLibrary quillet("Quillet.dll");
  ASSERT_TRUE(quillet.Loaded());
  WNDPROC procedure = nullptr;
  for (const char* name : {"HEdit_SS", "HEdit"}) {
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(quillet.Handle(), name, &info)) << name;
    EXPECT_EQ(info.style, kClassStyle) << name;
    EXPECT_EQ(info.cbClsExtra, 0) << name;
    // The record pointer follows the system edit class's extra bytes.
    EXPECT_EQ(info.cbWndExtra, EditWindowExtra() + static_cast<int>(sizeof(void*))) << name;
    EXPECT_EQ(info.hInstance, quillet.Handle()) << name;
    EXPECT_EQ(info.hCursor, nullptr) << name;
    EXPECT_EQ(info.hIcon, nullptr) << name;
    EXPECT_EQ(info.hbrBackground, nullptr) << name;
    EXPECT_EQ(info.lpszMenuName, nullptr) << name;
    if (procedure) {
      EXPECT_EQ(info.lpfnWndProc, procedure) << name;
    }
    procedure = info.lpfnWndProc;
  }
}

TEST(QuilletClasses, HostWindowsCanCreateBothClasses) {
  LoadedLibrary quillet("Quillet.dll");
  ASSERT_TRUE(quillet.Loaded());
  HWND form = CreateWindowExA(0, "STATIC", "form", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr,
                              nullptr, nullptr);
  ASSERT_TRUE(form);
  for (const char* name : {"HEdit_SS", "HEdit"}) {
    // The class is global: the host names no instance of Quillet's.
    HWND field = CreateWindowExA(0, name, "%ss", WS_CHILD | WS_VISIBLE, 4, 4, 100, 20, form,
                                 reinterpret_cast<HMENU>(7), GetModuleHandleA(nullptr), nullptr);
    EXPECT_TRUE(field) << name << ": error " << GetLastError();
    if (field) {
      EXPECT_TRUE(DestroyWindow(field));
    }
  }
  DestroyWindow(form);
}

TEST(QuilletClasses, UnloadRemovesTheClassesAndReloadRestoresThem) {
  HMODULE first = nullptr;
  {
    LoadedLibrary quillet("Quillet.dll");
    ASSERT_TRUE(quillet.Loaded());
    first = quillet.Handle();
  }
  WNDCLASSEXA info{};
  info.cbSize = sizeof info;
  EXPECT_FALSE(GetClassInfoExA(first, "HEdit", &info));
  EXPECT_FALSE(GetClassInfoExA(nullptr, "HEdit_SS", &info));

  LoadedLibrary again("Quillet.dll");
  ASSERT_TRUE(again.Loaded());
  ASSERT_TRUE(GetClassInfoExA(again.Handle(), "HEdit", &info));
  EXPECT_EQ(info.hInstance, again.Handle());
}

TEST(QuilletClasses, SecondLoadInOneProcessChangesNothing) {
  LoadedLibrary first("Quillet.dll");
  LoadedLibrary second("Quillet.dll");
  ASSERT_TRUE(first.Loaded() && second.Loaded());
  EXPECT_EQ(first.Handle(), second.Handle());
  WNDCLASSEXA info{};
  info.cbSize = sizeof info;
  EXPECT_TRUE(GetClassInfoExA(first.Handle(), "HEdit_SS", &info));
}

}  // namespace
