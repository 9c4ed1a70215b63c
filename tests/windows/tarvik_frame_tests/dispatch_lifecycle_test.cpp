// Connecting clients to server objects and letting them go: references are
// counted on probes of our own, and real servers come from the Wine prefix.
#include <gtest/gtest.h>

#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "tests/support/message_box_capture.h"
#include "tests/windows/tarvik_frame_tests/dispatch_probe.h"
#include "tests/windows/tarvik_frame_tests/tarvik_fixture.h"

namespace tarvik_tests {
namespace {

using quorvan::testing::CapturedBox;
using quorvan::testing::MessageBoxCapture;

constexpr char kDictionaryClsid[] = "{EE09B103-97E0-11CF-978F-00A02463E06F}";
constexpr char kIidDispatch[] = "{00020400-0000-0000-C000-000000000046}";
constexpr char kIidPersist[] = "{0000010C-0000-0000-C000-000000000046}";
constexpr char kIidStream[] = "{0000000C-0000-0000-C000-000000000046}";
// A class of our own for the running object table.
constexpr char kProbeClassText[] = "{5A1C3E10-7B2D-4F38-9E61-0C4D2B7A8F93}";
constexpr CLSID kProbeClass = {
    0x5A1C3E10, 0x7B2D, 0x4F38, {0x9E, 0x61, 0x0C, 0x4D, 0x2B, 0x7A, 0x8F, 0x93}};

class DispatchLifecycle : public TarvikTest {
 protected:
  void SetUp() override {
    TarvikTest::SetUp();
    Init();
    handle_ = api_.createAutomationClient();
    ASSERT_EQ(handle_, 1);
  }

  static std::string AlreadyAttached(int handle) {
    return "Automation Client " + std::to_string(handle) +
           " is already attached to an IDispatch interface";
  }

  int handle_ = 0;
};

// A count that a live Scripting.Dictionary reports through late binding.
long DictionaryCount(IDispatch* dictionary) {
  OLECHAR name[] = L"Count";
  LPOLESTR names[] = {name};
  DISPID dispid = 0;
  if (FAILED(dictionary->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid))) return -1;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  if (FAILED(dictionary->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                nullptr)))
    return -1;
  long count = V_VT(&result) == VT_I4 ? V_I4(&result) : -1;
  VariantClear(&result);
  return count;
}

TEST_F(DispatchLifecycle, AttachingWithoutAddRefTakesOverTheHostsReference) {
  auto* probe = new DispatchProbe;
  probe->AddRef();  // the host's reference, handed over
  EXPECT_EQ(api_.attachAutoClientDispatch(handle_, probe, 0), 1);
  EXPECT_EQ(probe->References(), 2);
  EXPECT_EQ(probe->AddRefCalls(), 1);
  EXPECT_EQ(api_.releaseAutoClientDispatch(handle_), 1);
  EXPECT_EQ(probe->References(), 1);
  EXPECT_EQ(probe->ReleaseCalls(), 1);
  EXPECT_EQ(api_.releaseAutoClientDispatch(handle_), 0);
  EXPECT_EQ(probe->References(), 1);
  probe->Release();
}

TEST_F(DispatchLifecycle, AttachingWithAddRefTakesAReferenceOfItsOwn) {
  auto* probe = new DispatchProbe;
  EXPECT_EQ(api_.attachAutoClientDispatch(handle_, probe, 1), 1);
  EXPECT_EQ(probe->References(), 2);
  EXPECT_EQ(api_.releaseAutoClientDispatch(handle_), 1);
  EXPECT_EQ(probe->References(), 1);
  // Detached, the client takes a new connection.
  EXPECT_EQ(api_.attachAutoClientDispatch(handle_, probe, 7), 1);
  EXPECT_EQ(probe->References(), 2);
  EXPECT_EQ(api_.destroyAutomationClient(handle_), 0);
  EXPECT_EQ(probe->References(), 1);
  probe->Release();
}

TEST_F(DispatchLifecycle, ANullPointerIsRefused) {
  EXPECT_EQ(api_.attachAutoClientDispatch(handle_, nullptr, 0), 0);
  EXPECT_EQ(api_.attachAutoClientDispatch(handle_, nullptr, 1), 0);
  EXPECT_EQ(api_.getAutoClientDispatch(handle_), nullptr);
  EXPECT_EQ(api_.releaseAutoClientDispatch(handle_), 0);
}

TEST_F(DispatchLifecycle, GetAutoClientDispatchLendsThePointerWithoutAReference) {
  auto* probe = new DispatchProbe;
  EXPECT_EQ(api_.getAutoClientDispatch(handle_), nullptr);
  ASSERT_EQ(api_.attachAutoClientDispatch(handle_, probe, 1), 1);
  for (int call = 0; call < 3; ++call) {
    EXPECT_EQ(api_.getAutoClientDispatch(handle_), static_cast<IDispatch*>(probe));
    EXPECT_EQ(probe->References(), 2);
  }
  EXPECT_EQ(probe->AddRefCalls() - probe->ReleaseCalls(), 1);
  EXPECT_EQ(api_.releaseAutoClientDispatch(handle_), 1);
  EXPECT_EQ(api_.getAutoClientDispatch(handle_), nullptr);
  probe->Release();
}

// An interface pointer into memory that is given back to the system: what a
// host holds after the object behind it was destroyed and its module unloaded.
class DeadObject {
 public:
  DeadObject() {
    page_ = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    auto** table = static_cast<void**>(page_);
    table[0] = table + 1;  // the object's function table follows it
    for (int slot = 1; slot <= 7; ++slot) table[slot] = page_;  // no code here
  }
  ~DeadObject() { Free(); }
  IDispatch* Pointer() const { return static_cast<IDispatch*>(page_); }
  DeadObject(const DeadObject&) = delete;
  DeadObject& operator=(const DeadObject&) = delete;
  void Free() {
    if (page_) VirtualFree(page_, 0, MEM_RELEASE);
    page_ = nullptr;
  }

 private:
  void* page_ = nullptr;
};

TEST_F(DispatchLifecycle, ADeadPointerDetachesTheClientSilently) {
  MessageBoxCapture boxes;
  DeadObject dead;
  IDispatch* pointer = dead.Pointer();
  // Handed over without a reference to take, the pointer is stored as it is.
  ASSERT_EQ(api_.attachAutoClientDispatch(handle_, pointer, 0), 1);
  // While its memory lasts, AddRef would still jump into data, not code.
  ASSERT_EQ(api_.createAutomationClient(), 2);
  EXPECT_EQ(api_.attachAutoClientDispatch(2, pointer, 1), 0);
  EXPECT_EQ(api_.getAutoClientDispatch(2), nullptr);
  dead.Free();
  EXPECT_EQ(api_.getAutoClientDispatch(handle_), nullptr);
  // Forgotten, not released: nothing is left to release or to report.
  EXPECT_EQ(api_.releaseAutoClientDispatch(handle_), 0);
  EXPECT_EQ(api_.getAutoClientDispatch(handle_), nullptr);
  // A reference cannot be taken on it either.
  EXPECT_EQ(api_.attachAutoClientDispatch(handle_, pointer, 1), 0);
  EXPECT_EQ(api_.getAutoClientDispatch(handle_), nullptr);
  EXPECT_EQ(api_.destroyAutomationClient(handle_), 0);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(DispatchLifecycle, ConnectingAnAttachedClientIsRefusedWithAMessage) {
  auto* first = new DispatchProbe;
  auto* second = new DispatchProbe;
  ASSERT_EQ(api_.attachAutoClientDispatch(handle_, first, 1), 1);
  // Silent mode silences server exceptions only, not these messages.
  ASSERT_EQ(api_.setSilentErrorMode(handle_, 1), 1);
  MessageBoxCapture boxes;
  EXPECT_EQ(api_.attachAutoClientDispatch(handle_, second, 1), 0);
  EXPECT_EQ(api_.attachAutoClientDispatch(handle_, second, 0), 0);
  EXPECT_EQ(api_.attachAutoClientActiveObject(handle_, kProbeClassText), 0);
  EXPECT_EQ(api_.createAutoClientDispatch(handle_, "Scripting.Dictionary"), 0);
  ASSERT_EQ(boxes.boxes().size(), 4u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(boxes.boxes()[i].caption, "Quorvan Error - AttachAutoClientDispatch");
    EXPECT_EQ(boxes.boxes()[i].text, AlreadyAttached(handle_));
  }
  EXPECT_EQ(boxes.boxes()[3].caption, "Quorvan Error - CreateAutoClientDispatch");
  EXPECT_EQ(boxes.boxes()[3].text, AlreadyAttached(handle_));
  // The first connection is untouched and the refused pointer was not kept.
  EXPECT_EQ(api_.getAutoClientDispatch(handle_), static_cast<IDispatch*>(first));
  EXPECT_EQ(first->References(), 2);
  EXPECT_EQ(second->AddRefCalls(), 0);
  EXPECT_EQ(second->ReleaseCalls(), 0);
  // The last error stays empty: these messages are never stored.
  char text[8] = "xxxxxxx";
  EXPECT_EQ(api_.getQuorvanLastError(handle_, text, sizeof text), 1);
  EXPECT_EQ(std::string(text, sizeof text), std::string(sizeof text, '\0'));
  first->Release();
  second->Release();
}

TEST_F(DispatchLifecycle, IsInterfaceSupportedAsksTheHeldObject) {
  auto* probe = new PersistingDispatchProbe;
  ASSERT_EQ(api_.attachAutoClientDispatch(handle_, probe, 1), 1);
  MessageBoxCapture boxes;
  EXPECT_EQ(api_.isInterfaceSupported(handle_, kIidDispatch), 1);
  EXPECT_EQ(api_.isInterfaceSupported(handle_, kIidPersist), 1);
  EXPECT_EQ(api_.isInterfaceSupported(handle_, "{0000010c-0000-0000-c000-000000000046}"), 1);
  EXPECT_EQ(api_.isInterfaceSupported(handle_, kIidStream), 0);
  // Malformed identifiers are refused without a message.
  EXPECT_EQ(api_.isInterfaceSupported(handle_, "not an interface"), 0);
  EXPECT_EQ(api_.isInterfaceSupported(handle_, "{0000010C-0000-0000-C000}"), 0);
  EXPECT_EQ(api_.isInterfaceSupported(handle_, ""), 0);
  EXPECT_EQ(api_.isInterfaceSupported(handle_, nullptr), 0);
  EXPECT_TRUE(boxes.boxes().empty());
  // Every reference a successful question took was given back.
  EXPECT_EQ(probe->References(), 2);
  EXPECT_EQ(api_.releaseAutoClientDispatch(handle_), 1);
  probe->Release();
}

TEST_F(DispatchLifecycle, IsInterfaceSupportedOnADetachedClientReports) {
  ASSERT_EQ(api_.createAutomationClient(), 2);
  ASSERT_EQ(api_.setSilentErrorMode(2, 1), 1);
  MessageBoxCapture boxes;
  EXPECT_EQ(api_.isInterfaceSupported(2, kIidDispatch), 0);
  EXPECT_EQ(api_.isInterfaceSupported(handle_, "not an interface"), 0);
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Quorvan Error - Automation Client 2");
  EXPECT_EQ(boxes.boxes()[0].text, "No IDispatch interface");
  EXPECT_EQ(boxes.boxes()[1].caption, "Quorvan Error - Automation Client 1");
  EXPECT_EQ(boxes.boxes()[1].text, "No IDispatch interface");
}

TEST_F(DispatchLifecycle, CreatesARealServerByProgIdAndByClassId) {
  MessageBoxCapture boxes;
  ASSERT_EQ(api_.createAutoClientDispatch(handle_, "Scripting.Dictionary"), 1);
  IDispatch* byName = api_.getAutoClientDispatch(handle_);
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(DictionaryCount(byName), 0);
  EXPECT_EQ(api_.isInterfaceSupported(handle_, kIidDispatch), 1);

  ASSERT_EQ(api_.createAutomationClient(), 2);
  ASSERT_EQ(api_.createAutoClientDispatch(2, kDictionaryClsid), 1);
  IDispatch* byClass = api_.getAutoClientDispatch(2);
  ASSERT_NE(byClass, nullptr);
  EXPECT_NE(byClass, byName);
  EXPECT_EQ(DictionaryCount(byClass), 0);

  // Attached to a third client with a reference of its own, the server
  // outlives the client that created it.
  ASSERT_EQ(api_.createAutomationClient(), 3);
  ASSERT_EQ(api_.attachAutoClientDispatch(3, byClass, 1), 1);
  EXPECT_EQ(api_.destroyAutomationClient(2), 0);
  EXPECT_EQ(DictionaryCount(api_.getAutoClientDispatch(3)), 0);
  EXPECT_EQ(api_.releaseAutoClientDispatch(3), 1);
  EXPECT_EQ(api_.releaseAutoClientDispatch(handle_), 1);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(DispatchLifecycle, UnknownServersAndMalformedClassTextsFailSilently) {
  MessageBoxCapture boxes;
  ASSERT_EQ(api_.setSilentErrorMode(handle_, 0), 1);
  EXPECT_EQ(api_.createAutoClientDispatch(handle_, "Quorvan.NoSuchServer"), 0);
  EXPECT_EQ(api_.createAutoClientDispatch(handle_, ""), 0);
  EXPECT_EQ(api_.createAutoClientDispatch(handle_, nullptr), 0);
  // An opening brace makes it a class id, never a ProgID.
  EXPECT_EQ(api_.createAutoClientDispatch(handle_, "{Scripting.Dictionary}"), 0);
  EXPECT_EQ(api_.createAutoClientDispatch(handle_, "{EE09B103-97E0-11CF-978F"), 0);
  EXPECT_EQ(api_.createAutoClientDispatch(handle_, kProbeClassText), 0);
  EXPECT_EQ(api_.getAutoClientDispatch(handle_), nullptr);
  EXPECT_TRUE(boxes.boxes().empty());
  char text[4] = "xyz";
  EXPECT_EQ(api_.getQuorvanLastError(handle_, text, sizeof text), 1);
  EXPECT_EQ(std::string(text, sizeof text), std::string(sizeof text, '\0'));
  // The failures left the client free to connect.
  EXPECT_EQ(api_.createAutoClientDispatch(handle_, "Scripting.Dictionary"), 1);
}

TEST_F(DispatchLifecycle, AttachesARunningObjectFromTheTable) {
  auto* probe = new DispatchProbe;
  DWORD cookie = 0;
  ASSERT_EQ(RegisterActiveObject(probe, kProbeClass, ACTIVEOBJECT_STRONG, &cookie), S_OK);
  EXPECT_EQ(api_.attachAutoClientActiveObject(handle_, kProbeClassText), 1);
  EXPECT_EQ(api_.getAutoClientDispatch(handle_), static_cast<IDispatch*>(probe));
  EXPECT_EQ(api_.isInterfaceSupported(handle_, kIidDispatch), 1);
  EXPECT_EQ(api_.releaseAutoClientDispatch(handle_), 1);
  EXPECT_EQ(RevokeActiveObject(cookie, nullptr), S_OK);
  EXPECT_EQ(probe->References(), 1);
  probe->Release();
}

TEST_F(DispatchLifecycle, ARunningObjectWithoutIDispatchIsNotAttached) {
  auto* probe = new PersistProbe;
  DWORD cookie = 0;
  ASSERT_EQ(RegisterActiveObject(probe, kProbeClass, ACTIVEOBJECT_STRONG, &cookie), S_OK);
  MessageBoxCapture boxes;
  EXPECT_EQ(api_.attachAutoClientActiveObject(handle_, kProbeClassText), 0);
  EXPECT_EQ(api_.getAutoClientDispatch(handle_), nullptr);
  EXPECT_EQ(RevokeActiveObject(cookie, nullptr), S_OK);
  EXPECT_EQ(probe->References(), 1);
  probe->Release();
  // Nothing registered, nothing found; malformed texts are refused.
  EXPECT_EQ(api_.attachAutoClientActiveObject(handle_, kProbeClassText), 0);
  EXPECT_EQ(api_.attachAutoClientActiveObject(handle_, "Scripting.Dictionary"), 0);
  EXPECT_EQ(api_.attachAutoClientActiveObject(handle_, ""), 0);
  EXPECT_EQ(api_.attachAutoClientActiveObject(handle_, nullptr), 0);
  EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
}  // namespace tarvik_tests
