#include "tarvik/automation/argument_list.h"

#include <new>
#include <utility>

namespace tarvik {
namespace {

// Servers only read the names they are given; the one name the library sends
// needs no storage per list.
DISPID g_propertyPutName = DISPID_PROPERTYPUT;

}  // namespace

ArgumentList::ArgumentList(ArgumentList&& other) noexcept
    : params_(std::exchange(other.params_, DISPPARAMS{nullptr, nullptr, 0, 0})),
      slots_(std::move(other.slots_)),
      nextParamSlot_(std::exchange(other.nextParamSlot_, 0)) {}

ArgumentList& ArgumentList::operator=(ArgumentList&& other) noexcept {
  if (this != &other) {
    Clear();
    params_ = std::exchange(other.params_, DISPPARAMS{nullptr, nullptr, 0, 0});
    slots_ = std::move(other.slots_);
    nextParamSlot_ = std::exchange(other.nextParamSlot_, 0);
  }
  return *this;
}

bool ArgumentList::Declare(int count) {
  // A count of 0 or below declares nothing and is refused.
  if (params_.cArgs != 0 || count <= 0) return false;
  std::unique_ptr<VARIANT[]> slots(new (std::nothrow) VARIANT[static_cast<size_t>(count)]);
  if (!slots) return false;
  for (int slot = 0; slot < count; ++slot) VariantInit(&slots[slot]);
  slots_ = std::move(slots);
  params_.rgvarg = slots_.get();
  params_.cArgs = static_cast<UINT>(count);
  nextParamSlot_ = count - 1;
  return true;
}

bool ArgumentList::HasFreeSlot() const {
  return nextParamSlot_ >= 0 && static_cast<UINT>(nextParamSlot_) < params_.cArgs;
}

bool ArgumentList::Define(const VARIANT& value) {
  if (!HasFreeSlot()) return false;
  slots_[static_cast<size_t>(nextParamSlot_)] = value;
  --nextParamSlot_;
  return true;
}

void ArgumentList::NamePropertyPutValue() {
  params_.rgdispidNamedArgs = &g_propertyPutName;
  params_.cNamedArgs = 1;
}

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
