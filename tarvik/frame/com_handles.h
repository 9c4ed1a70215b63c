// Owners for the COM resources Tarvik handles: interface pointers, BSTRs and
// VARIANTs. Each releases what it owns exactly once.
#pragma once

#include <oleauto.h>
#include <unknwn.h>
#include <windows.h>

#include <utility>

namespace tarvik {

// Holds one reference to an interface.
template <class Interface>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already owns.
  static ComPtr Adopt(Interface* pointer) {
    ComPtr result;
    result.pointer_ = pointer;
    return result;
  }
  // Takes a reference of its own.
  static ComPtr Share(Interface* pointer) {
    if (pointer) pointer->AddRef();
    return Adopt(pointer);
  }
  ComPtr(const ComPtr& other) : pointer_(other.pointer_) {
    if (pointer_) pointer_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() {
    if (Interface* old = std::exchange(pointer_, nullptr)) old->Release();
  }
  // Gives up ownership of the reference without releasing it.
  Interface* Detach() { return std::exchange(pointer_, nullptr); }
  // For out-parameters: releases what is held and returns where to put the new one.
  Interface** Receive() {
    Reset();
    return &pointer_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  template <class Other>
  ComPtr<Other> Query(REFIID iid) const {
    ComPtr<Other> result;
    if (pointer_) pointer_->QueryInterface(iid, result.ReceiveVoid());
    return result;
  }

 private:
  Interface* pointer_ = nullptr;
};

// Owns one BSTR (null stands for the empty string, as in OLE Automation).
class UniqueBstr {
 public:
  UniqueBstr() = default;
  explicit UniqueBstr(BSTR text) : text_(text) {}
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;
  UniqueBstr(UniqueBstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
  UniqueBstr& operator=(UniqueBstr&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.text_, nullptr));
    return *this;
  }
  ~UniqueBstr() { Reset(); }

  void Reset(BSTR text = nullptr) {
    if (text_ && text_ != text) SysFreeString(text_);
    text_ = text;
  }
  BSTR Release() { return std::exchange(text_, nullptr); }
  BSTR* Receive() {
    Reset();
    return &text_;
  }
  BSTR Get() const { return text_; }
  UINT Length() const { return text_ ? SysStringLen(text_) : 0; }

 private:
  BSTR text_ = nullptr;
};

// Owns one VARIANT and clears it at the end. It starts all zeros, not just
// VT_EMPTY (VariantInit sets only the type on Windows): a result read from a call
// that never happened is then 0 or null, never stack garbage. Plain numbers,
// the usual results, own nothing and need no call into the platform to clear.
class UniqueVariant {
 public:
  UniqueVariant() : value_{} { V_VT(&value_) = VT_EMPTY; }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  ~UniqueVariant() {
    if (!OwnsNothing(V_VT(&value_))) VariantClear(&value_);
  }

  VARIANT* Get() { return &value_; }
  const VARIANT* Get() const { return &value_; }
  VARIANT* operator->() { return &value_; }
  const VARIANT* operator->() const { return &value_; }
  // Clears what is held and returns the empty VARIANT, for out-parameters.
  VARIANT* Receive() {
    VariantClear(&value_);
    return &value_;
  }

 private:
  static bool OwnsNothing(VARTYPE type) {
    switch (type) {
      case VT_EMPTY:
      case VT_NULL:
      case VT_I1:
      case VT_I2:
      case VT_I4:
      case VT_I8:
      case VT_UI1:
      case VT_UI2:
      case VT_UI4:
      case VT_UI8:
      case VT_INT:
      case VT_UINT:
      case VT_R4:
      case VT_R8:
      case VT_CY:
      case VT_DATE:
      case VT_BOOL:
      case VT_ERROR:
        return true;
      default:
        return false;
    }
  }

  VARIANT value_;
};

}  // namespace tarvik
