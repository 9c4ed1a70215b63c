// A COM object base for probe objects in tests. It counts every AddRef and
// Release exactly, knows whether it is still alive and keeps a process-wide count
// of live probes, so that a test can prove the code under test neither leaks nor
// over-releases a reference.
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <atomic>

namespace quorvan::testing {

class ProbeCounters {
 public:
  // Probes created and not yet destroyed, across the process.
  static long Live() { return live_.load(); }

 protected:
  static std::atomic<long> live_;
};

// Derived classes name the interfaces they implement; QueryInterface answers for
// IUnknown and those, and for nothing else.
template <class... Interfaces>
class CountedObject : public Interfaces..., public ProbeCounters {
 public:
  CountedObject() { ++live_; }
  CountedObject(const CountedObject&) = delete;
  CountedObject& operator=(const CountedObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == __uuidof(IUnknown)) {
      *out = static_cast<IUnknown*>(static_cast<FirstInterface*>(this));
    } else {
      ((iid == __uuidof(Interfaces) ? (*out = static_cast<Interfaces*>(this), true) : false) ||
       ...);
    }
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

  STDMETHODIMP_(ULONG) AddRef() override {
    ++addRefCalls_;
    return static_cast<ULONG>(++references_);
  }

  STDMETHODIMP_(ULONG) Release() override {
    ++releaseCalls_;
    long left = --references_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left < 0 ? 0 : left);
  }

  long References() const { return references_.load(); }
  long AddRefCalls() const { return addRefCalls_.load(); }
  long ReleaseCalls() const { return releaseCalls_.load(); }

 protected:
  virtual ~CountedObject() { --live_; }

 private:
  template <class First, class...>
  struct Head {
    using type = First;
  };
  using FirstInterface = typename Head<Interfaces...>::type;

  std::atomic<long> references_{1};
  std::atomic<long> addRefCalls_{0};
  std::atomic<long> releaseCalls_{0};
};

}  // namespace quorvan::testing
