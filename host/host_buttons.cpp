#include "host/host_buttons.h"

#include "host/prompt_button.h"
#include "host/spin_button.h"

namespace quorvan::host {

bool RegisterHostButtonClasses(HINSTANCE instance) {
  const bool spin = RegisterSpinButtonClass(instance);
  const bool prompt = RegisterPromptButtonClass(instance);
  return spin && prompt;
}

void UnregisterHostButtonClasses(HINSTANCE instance) {
  UnregisterSpinButtonClass(instance);
  UnregisterPromptButtonClass(instance);
}

}  // namespace quorvan::host
