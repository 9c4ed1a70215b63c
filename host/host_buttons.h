// The two classes an HEdit field creates as its attached button. The host, not
// Quillet, registers them, under the instance it creates its windows with.
#pragma once

#include <windows.h>

namespace quorvan::host {

// True when both classes are registered (now or before).
bool RegisterHostButtonClasses(HINSTANCE instance);
void UnregisterHostButtonClasses(HINSTANCE instance);

}  // namespace quorvan::host
