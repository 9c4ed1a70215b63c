// What the conversion tests share: a count of the process heap's blocks for
// leak checks, probe COM objects and records prefilled with a marker byte.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstddef>
#include <cstring>

#include "tarvik/frame/host_variant.h"
#include "tests/support/counted_object.h"
#include "tests/support/heap_blocks.h"

namespace conversion_tests {

using quorvan::testing::BusyHeapBlocks;
using quorvan::testing::HeapGrowth;

class DispatchProbe : public quorvan::testing::CountedObject<IDispatch> {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return E_NOTIMPL;
  }
};

constexpr unsigned char kMarker = 0xCC;

inline tarvik::HostVariant MarkedRecord() {
  tarvik::HostVariant record;
  std::memset(&record, kMarker, sizeof record);
  return record;
}

// True when every byte of the record outside [offset, offset + width) and
// outside the type field still holds the marker.
inline bool OnlyFieldChanged(const tarvik::HostVariant& record, std::size_t offset,
                             std::size_t width) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
  for (std::size_t i = 4; i < sizeof record; ++i) {
    if (i >= offset && i < offset + width) continue;
    if (bytes[i] != kMarker) return false;
  }
  return true;
}

// A host text in a block of the process heap, as the host hands one over.
inline char* HeapText(const char* text) {
  const std::size_t size = std::strlen(text) + 1;
  auto* block = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
  if (block) std::memcpy(block, text, size);
  return block;
}

}  // namespace conversion_tests
