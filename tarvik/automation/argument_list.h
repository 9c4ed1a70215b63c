// A client's pending argument list: the DISPPARAMS block handed to
// IDispatch::Invoke, with the VARIANT array it owns and the next slot to fill.
// Slots are filled from the end, the order in which Invoke reads positional
// arguments.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>

namespace tarvik {

class ArgumentList {
 public:
  ArgumentList() = default;
  ArgumentList(const ArgumentList&) = delete;
  ArgumentList& operator=(const ArgumentList&) = delete;
  ArgumentList(ArgumentList&& other) noexcept;
  ArgumentList& operator=(ArgumentList&& other) noexcept;
  ~ArgumentList() { Clear(); }

  // Makes room for `count` arguments, each VT_EMPTY until defined. Refused while
  // arguments are pending (they stay as they are), for a negative count, and
  // when the memory cannot be had.
  bool Declare(int count);

  // Puts `value` into the next free slot; the list then owns a BSTR in it.
  // False, with nothing taken, when no slot is free: the host declared fewer
  // arguments than it defines, and a write past the array would corrupt memory.
  bool Define(const VARIANT& value);
  bool HasFreeSlot() const;

  // Marks slot 0, the last positional argument, as the value of a property put.
  void NamePropertyPutValue();

  // Empties the list. Only the BSTRs the list made itself are freed; other
  // slots, by-reference ones included, point at what the host still owns.
  void Clear();

  bool Empty() const { return params_.cArgs == 0; }
  DISPPARAMS& Params() { return params_; }
  int NextParamSlot() const { return nextParamSlot_; }

 private:
  DISPPARAMS params_ = {nullptr, nullptr, 0, 0};
  std::unique_ptr<VARIANT[]> slots_;
  int nextParamSlot_ = 0;
};

}  // namespace tarvik
