// The probe control hosted through Tarvik, with the service exports a form
// designer uses on it, a scratch folder for the files they write, and a watch
// for the modal property frame.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "host/tarvik_exports.h"
#include "tests/windows/tarvik_container_tests/probe_fixture.h"

namespace services_tests {

using container_tests::HostWindow;
using container_tests::ProbeTest;

// A folder of its own under the temporary folder, removed with what is in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "qv_services_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++count_);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
          DeleteFileA((path_ + "\\" + found.cFileName).c_str());
        }
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  static inline int count_ = 0;
  std::string path_;
};

inline bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ServicesTest : public ProbeTest {
 protected:
  void SetUp() override {
    ProbeTest::SetUp();
    ASSERT_TRUE(services_.Complete());
  }

  // The caption as the host reads it, with a check that nothing is written past
  // the 255 bytes the host provides.
  std::string ReadCaption(int handle, int* result = nullptr) {
    char buffer[300];
    memset(buffer, 'x', sizeof buffer);
    const int got = services_.getOCXControlCaption(handle, buffer);
    if (result) *result = got;
    EXPECT_EQ(buffer[255], 'x') << "written past the host's buffer";
    buffer[255] = '\0';
    return buffer;
  }

  quorvan::host::TarvikServiceExports services_{tarvik_};
};

}  // namespace services_tests
