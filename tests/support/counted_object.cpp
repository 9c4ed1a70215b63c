#include "tests/support/counted_object.h"

namespace quorvan::testing {

std::atomic<long> ProbeCounters::live_{0};

}  // namespace quorvan::testing
