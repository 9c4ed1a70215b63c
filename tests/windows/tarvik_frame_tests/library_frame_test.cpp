// Library start-up and shutdown, and the handles of clients.
#include <gtest/gtest.h>

#include <objbase.h>

#include <climits>
#include <cstring>

#include "tests/support/message_box_capture.h"
#include "tests/windows/tarvik_frame_tests/dispatch_probe.h"
#include "tests/windows/tarvik_frame_tests/tarvik_fixture.h"

namespace tarvik_tests {
namespace {

using quorvan::testing::MessageBoxCapture;

using LibraryFrame = TarvikTest;

TEST_F(LibraryFrame, NoClientsBeforeInitialisation) {
  EXPECT_EQ(api_.createAutomationClient(), 0);
  EXPECT_EQ(api_.destroyAutomationClient(1), 1);
  Init();
  // The refused creation did not advance the counter.
  EXPECT_EQ(api_.createAutomationClient(), 1);
}

TEST_F(LibraryFrame, HandlesCountUpAndAreNeverReused) {
  Init();
  EXPECT_EQ(api_.createAutomationClient(), 1);
  EXPECT_EQ(api_.createAutomationClient(), 2);
  EXPECT_EQ(api_.createAutomationClient(), 3);
  EXPECT_EQ(api_.destroyAutomationClient(1), 0);
  EXPECT_EQ(api_.createAutomationClient(), 4);
  EXPECT_EQ(api_.destroyAutomationClient(3), 0);
  EXPECT_EQ(api_.destroyAutomationClient(3), 3);
  EXPECT_EQ(api_.createAutomationClient(), 5);
  // The clients left are still found; the destroyed ones are not.
  EXPECT_EQ(api_.setSilentErrorMode(2, 1), 1);
  EXPECT_EQ(api_.setSilentErrorMode(4, 1), 1);
  EXPECT_EQ(api_.setSilentErrorMode(5, 1), 1);
  EXPECT_EQ(api_.setSilentErrorMode(1, 1), 0);
  EXPECT_EQ(api_.setSilentErrorMode(3, 1), 0);
}

TEST_F(LibraryFrame, InitialisingAgainRestartsHandlesAtOne) {
  Init();
  EXPECT_EQ(api_.createAutomationClient(), 1);
  EXPECT_EQ(api_.createAutomationClient(), 2);
  EXPECT_EQ(api_.qvOleUninit(), 1);
  EXPECT_EQ(api_.setSilentErrorMode(1, 1), 0);
  EXPECT_EQ(api_.destroyAutomationClient(2), 2);
  EXPECT_EQ(api_.createAutomationClient(), 0);
  Init();
  // Old handles match nothing until a new client takes the number.
  EXPECT_EQ(api_.setSilentErrorMode(2, 1), 0);
  EXPECT_EQ(api_.createAutomationClient(), 1);
  EXPECT_EQ(api_.qvOleUninit(), 1);
  EXPECT_EQ(api_.qvOleUninit(), 1);
}

TEST_F(LibraryFrame, UnknownHandlesGiveTheNotFoundValueOfEveryExport) {
  Init();
  ASSERT_EQ(api_.createAutomationClient(), 1);
  ASSERT_EQ(api_.createAutomationClient(), 2);
  auto* probe = new DispatchProbe;
  MessageBoxCapture boxes;
  for (int handle : {0, -1, 3, 99, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(handle);
    EXPECT_EQ(api_.destroyAutomationClient(handle), handle);
    EXPECT_EQ(api_.setSilentErrorMode(handle, 1), 0);
    char buffer[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(api_.getQuorvanLastError(handle, buffer, sizeof buffer), 0);
    EXPECT_EQ(std::memcmp(buffer, "abcd", 4), 0);
    EXPECT_EQ(api_.createAutoClientDispatch(handle, "Scripting.Dictionary"), 0);
    EXPECT_EQ(api_.attachAutoClientDispatch(handle, probe, 1), 0);
    EXPECT_EQ(api_.attachAutoClientDispatch(handle, probe, 0), 0);
    EXPECT_EQ(api_.attachAutoClientActiveObject(handle, "{EE09B103-97E0-11CF-978F-00A02463E06F}"),
              0);
    EXPECT_EQ(api_.releaseAutoClientDispatch(handle), 0);
    EXPECT_EQ(api_.getAutoClientDispatch(handle), nullptr);
    EXPECT_EQ(api_.isInterfaceSupported(handle, "{00020400-0000-0000-C000-000000000046}"), 0);
  }
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(probe->AddRefCalls(), 0);
  EXPECT_EQ(probe->ReleaseCalls(), 0);
  probe->Release();
}

TEST_F(LibraryFrame, DestroyingAClientGivesItsReferenceBack) {
  Init();
  auto* probe = new DispatchProbe;
  ASSERT_EQ(api_.createAutomationClient(), 1);
  ASSERT_EQ(api_.attachAutoClientDispatch(1, probe, 1), 1);
  EXPECT_EQ(probe->References(), 2);
  EXPECT_EQ(api_.destroyAutomationClient(1), 0);
  EXPECT_EQ(probe->References(), 1);
  EXPECT_EQ(probe->ReleaseCalls(), 1);
  probe->Release();
}

TEST_F(LibraryFrame, ShutdownGivesEveryClientsReferenceBack) {
  Init();
  auto* first = new DispatchProbe;
  auto* second = new DispatchProbe;
  ASSERT_EQ(api_.createAutomationClient(), 1);
  ASSERT_EQ(api_.createAutomationClient(), 2);
  ASSERT_EQ(api_.createAutomationClient(), 3);
  first->AddRef();  // the reference the host hands over with addRef 0
  ASSERT_EQ(api_.attachAutoClientDispatch(1, first, 0), 1);
  ASSERT_EQ(api_.attachAutoClientDispatch(3, second, 1), 1);
  EXPECT_EQ(api_.qvOleUninit(), 1);
  EXPECT_EQ(first->References(), 1);
  EXPECT_EQ(second->References(), 1);
  first->Release();
  second->Release();
}

TEST_F(LibraryFrame, InitialisingTwiceReleasesTheEarlierClients) {
  Init();
  auto* probe = new DispatchProbe;
  ASSERT_EQ(api_.createAutomationClient(), 1);
  ASSERT_EQ(api_.createAutomationClient(), 2);
  ASSERT_EQ(api_.attachAutoClientDispatch(2, probe, 1), 1);
  Init();
  EXPECT_EQ(probe->References(), 1);
  EXPECT_EQ(api_.getAutoClientDispatch(2), nullptr);
  EXPECT_EQ(api_.createAutomationClient(), 1);
  // One shutdown balances both initialisations: the apartment is closed.
  EXPECT_EQ(api_.qvOleUninit(), 1);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  CoUninitialize();
  probe->Release();
}

TEST_F(LibraryFrame, TheApartmentIsClosedByShutdown) {
  Init();
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
  CoUninitialize();
  EXPECT_EQ(api_.qvOleUninit(), 1);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  CoUninitialize();
}

TEST_F(LibraryFrame, ShutdownNeverEndsTheHostsOwnApartment) {
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  // Without a matching initialisation, shutdown has nothing of its own to close.
  EXPECT_EQ(api_.qvOleUninit(), 1);
  EXPECT_EQ(api_.qvOleUninit(), 1);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
  CoUninitialize();
  // A pair inside the host's apartment leaves it open as well.
  Init();
  EXPECT_EQ(api_.qvOleUninit(), 1);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
  CoUninitialize();
  CoUninitialize();
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  CoUninitialize();
}

TEST_F(LibraryFrame, AHostInTheMultithreadedApartmentKeepsIt) {
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  // The library cannot open its apartment here, yet it works in the host's.
  Init();
  auto* probe = new DispatchProbe;
  ASSERT_EQ(api_.createAutomationClient(), 1);
  EXPECT_EQ(api_.attachAutoClientDispatch(1, probe, 1), 1);
  EXPECT_EQ(api_.qvOleUninit(), 1);
  EXPECT_EQ(probe->References(), 1);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
  CoUninitialize();
  CoUninitialize();
  probe->Release();
}

}  // namespace
}  // namespace tarvik_tests
