#include "tarvik/automation/argument_list.h"

namespace tarvik {

void ArgumentList::Clear() {
  if (params_.cArgs == 0) return;
  for (UINT slot = 0; slot < params_.cArgs; ++slot) {
    if (V_VT(&slots_[slot]) == VT_BSTR) VariantClear(&slots_[slot]);
  }
  slots_.reset();
  params_ = {nullptr, nullptr, 0, 0};
  nextParamSlot_ = 0;
}

}  // namespace tarvik
