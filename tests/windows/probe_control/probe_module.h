// What the parts of the probe control share: the module, the counters behind the
// test hook, reference counting that the hook can account for, and the factories
// of its objects.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>

#include <utility>

#include "tests/windows/probe_control/probe_control_ids.h"

namespace probe {

extern HINSTANCE g_module;

// The live record behind ProbeControlStats. Everything runs on the apartment's
// one thread, except the counts of objects and references, which COM may touch
// from elsewhere (DllCanUnloadNow).
ProbeStats& Stats();
void ObjectCreated();
void ObjectDestroyed();
void ReferenceTaken();
void ReferenceDropped();
void ServerLock(bool lock);
bool CanUnload();

struct CreationSettings {
  bool fireDuringCreation = false;
  int preferredWidth = 0;
  int preferredHeight = 0;
  bool fixedSize = false;
};
CreationSettings& Settings();

// One interface reference, released once.
template <class Interface>
class Ref {
 public:
  Ref() = default;
  explicit Ref(Interface* adopted) : pointer_(adopted) {}
  Ref(const Ref& other) : pointer_(other.pointer_) {
    if (pointer_) pointer_->AddRef();
  }
  Ref(Ref&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  Ref& operator=(Ref other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~Ref() { Reset(); }
  static Ref Share(Interface* pointer) {
    if (pointer) pointer->AddRef();
    return Ref(pointer);
  }
  void Reset() {
    if (Interface* old = std::exchange(pointer_, nullptr)) old->Release();
  }
  Interface** Receive() {
    Reset();
    return &pointer_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  Interface* Detach() { return std::exchange(pointer_, nullptr); }

 private:
  Interface* pointer_ = nullptr;
};

// A BSTR owned once.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const wchar_t* text) : text_(SysAllocString(text)) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(text_); }
  void Assign(const wchar_t* text, UINT length) {
    SysFreeString(text_);
    text_ = SysAllocStringLen(text, length);
  }
  void Assign(const wchar_t* text) {
    Assign(text, text ? SysStringLen(const_cast<BSTR>(text)) : 0);
  }
  BSTR Get() const { return text_; }
  // Where a callee may free the string and store another.
  BSTR* Address() { return &text_; }
  UINT Length() const { return SysStringLen(text_); }
  BSTR Copy() const { return SysAllocStringLen(text_, Length()); }

 private:
  BSTR text_ = nullptr;
};

// Reference counting for the DLL's objects; each object counts as live from
// construction to destruction and its references go into the hook's balance
// (the reference a constructor hands out included).
class Counted {
 public:
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;

 protected:
  Counted() {
    ObjectCreated();
    ReferenceTaken();
  }
  virtual ~Counted() { ObjectDestroyed(); }
  ULONG TakeReference() {
    ReferenceTaken();
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }
  ULONG DropReference() {
    ReferenceDropped();
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 private:
  LONG references_ = 1;
};

// Hands out the constructor's reference as the interface asked for.
template <class Object>
HRESULT HandOut(Object* object, REFIID iid, void** out) {
  const HRESULT result = object->QueryInterface(iid, out);
  object->Release();
  return result;
}

HRESULT CreateControl(bool withPages, REFIID iid, void** out);
HRESULT CreatePropertyPage(REFIID iid, void** out);
HRESULT CreateClassFactory(REFCLSID clsid, REFIID iid, void** out);
// An IDispatch without members, for event 1's object argument.
IDispatch* NewMemberlessObject();

// Type information built in memory into *library on first use (each control keeps
// its own): the interfaces DIID_DProbeControl and DIID_DProbeControlEvents, and
// the coclasses of the two control classes.
HRESULT ProbeTypeInfo(Ref<ITypeLib>& library, REFGUID guid, ITypeInfo** out);

}  // namespace probe
