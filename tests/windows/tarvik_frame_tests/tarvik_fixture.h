// Tarvik loaded fresh for each test, as the host loads it, with its exports
// found by name. Each test starts with the library loaded and not initialised.
#pragma once

#include <gtest/gtest.h>

#include "host/tarvik_exports.h"
#include "tests/support/counted_object.h"

namespace tarvik_tests {

class TarvikTest : public ::testing::Test {
 protected:
  void SetUp() override {
    liveProbesBefore_ = quorvan::testing::ProbeCounters::Live();
    ASSERT_TRUE(tarvik_.Loaded());
    ASSERT_TRUE(api_.Complete());
  }
  void TearDown() override {
    api_.qvOleUninit();
    // Every probe a test made must be gone once the library let go of it.
    EXPECT_EQ(quorvan::testing::ProbeCounters::Live(), liveProbesBefore_);
  }

  void Init() { ASSERT_EQ(api_.qvOleInit(), 1600); }

  quorvan::host::LoadedLibrary tarvik_{"Tarvik.dll"};
  quorvan::host::TarvikExports api_{tarvik_};
  long liveProbesBefore_ = 0;
};

}  // namespace tarvik_tests
