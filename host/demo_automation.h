// A 4GL script's use of an Automation server that every Windows machine has, the
// scripting run-time's dictionary, through Tarvik's client exports only.
#pragma once

#include "host/demo_transcript.h"
#include "host/tarvik_exports.h"

namespace quorvan::host {

void WalkDictionary(const TarvikExports& api, const TarvikCallExports& calls,
                    Transcript& transcript);

}  // namespace quorvan::host
