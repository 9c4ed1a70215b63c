// A VARIANT made from a host value on its way into an argument list or a
// property write. Until the list takes it over, it frees what the list would
// free: a BSTR. Interface pointers in it carry no reference and are left alone.
#pragma once

#include <windows.h>

#include <oleauto.h>

namespace tarvik {

class ArgumentValue {
 public:
  ArgumentValue() { VariantInit(&value_); }
  ArgumentValue(const ArgumentValue&) = delete;
  ArgumentValue& operator=(const ArgumentValue&) = delete;
  ~ArgumentValue() {
    if (V_VT(&value_) == VT_BSTR) VariantClear(&value_);
  }

  VARIANT* Get() { return &value_; }
  // Forgets the value once its new owner holds it.
  void Disown() { VariantInit(&value_); }

 private:
  VARIANT value_;
};

}  // namespace tarvik
