// The i686 runs must really execute 32-bit code on the 32-bit DLLs, and the
// x86_64 runs 64-bit code: a mix-up in the runner would otherwise go unseen.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/loaded_library.h"

namespace {

WORD MachineOf(HMODULE module) {
  auto* base = reinterpret_cast<const BYTE*>(module);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return nt->FileHeader.Machine;
}

constexpr WORD kExpectedMachine =
    QUORVAN_EXPECTED_POINTER_SIZE == 4 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64;

TEST(Architecture, ProcessRunsWithTheBuildsPointerSize) {
  EXPECT_EQ(sizeof(void*), static_cast<size_t>(QUORVAN_EXPECTED_POINTER_SIZE));
  EXPECT_EQ(MachineOf(GetModuleHandleA(nullptr)), kExpectedMachine);
}

TEST(Architecture, BothLibrariesLoadAsThisArchitecture) {
  for (const char* name : {"Tarvik.dll", "Quillet.dll"}) {
    quorvan::host::LoadedLibrary library(name);
    ASSERT_TRUE(library.Loaded()) << name << ": error " << GetLastError();
    EXPECT_EQ(MachineOf(library.Handle()), kExpectedMachine) << name;
    EXPECT_NE(library.VersionText().find("Quorvan"), std::string::npos) << name;
  }
}

}  // namespace
