// The mobile hotspot's Windows side: the declared runtime interfaces keep each method in
// its vtable place, and a system without the tethering manager (Wine, Windows 7) gets
// plain "not available" answers, promptly and without a failure report.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/scenario.h"
#include "platform/win32/win32_mobile_hotspot.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/winrt_tethering.h"
#include "platform/win32/winrt_wait.h"
#include "support/headless_program.h"
#include "support/test_support.h"
#include "ui/user_input.h"

namespace lumora::platform::win32 {
namespace {

namespace rt = winrt;

constexpr std::size_t kSlot = sizeof(void*);

// Slot numbers as the SDK's headers order them (IUnknown 0-2, IInspectable 3-5), and
// each table ends with the last slot the program calls.
static_assert(offsetof(rt::InspectableSlots, Release) == 2 * kSlot);
static_assert(sizeof(rt::InspectableSlots) == 6 * kSlot);
static_assert(offsetof(rt::AsyncInfoSlots, get_Status) == 7 * kSlot);
static_assert(offsetof(rt::AsyncInfoSlots, get_ErrorCode) == 8 * kSlot);
static_assert(offsetof(rt::AsyncInfoSlots, Cancel) == 9 * kSlot);
static_assert(offsetof(rt::AsyncInfoSlots, Close) == 10 * kSlot);
static_assert(sizeof(rt::AsyncInfoSlots) == 11 * kSlot);
static_assert(offsetof(rt::AsyncActionSlots, GetResults) == 8 * kSlot);
static_assert(sizeof(rt::AsyncActionSlots) == 9 * kSlot);
static_assert(offsetof(rt::TetheringOperationSlots, GetResults) == 8 * kSlot);
static_assert(sizeof(rt::TetheringOperationSlots) == 9 * kSlot);
static_assert(offsetof(rt::HostNameSlots, get_DisplayName) == 8 * kSlot);
static_assert(sizeof(rt::HostNameSlots) == 9 * kSlot);
static_assert(offsetof(rt::VectorViewSlots<rt::IHostName>, GetAt) == 6 * kSlot);
static_assert(offsetof(rt::VectorViewSlots<rt::IHostName>, get_Size) == 7 * kSlot);
static_assert(sizeof(rt::VectorViewSlots<rt::IHostName>) == 8 * kSlot);
static_assert(offsetof(rt::NetworkAdapterSlots, get_NetworkAdapterId) == 10 * kSlot);
static_assert(sizeof(rt::NetworkAdapterSlots) == 11 * kSlot);
static_assert(offsetof(rt::ConnectionProfileSlots, GetNetworkConnectivityLevel) == 7 * kSlot);
static_assert(offsetof(rt::ConnectionProfileSlots, get_NetworkAdapter) == 11 * kSlot);
static_assert(sizeof(rt::ConnectionProfileSlots) == 12 * kSlot);
static_assert(offsetof(rt::NetworkInformationStaticsSlots, GetConnectionProfiles) == 6 * kSlot);
static_assert(offsetof(rt::NetworkInformationStaticsSlots, GetInternetConnectionProfile) ==
              7 * kSlot);
static_assert(sizeof(rt::NetworkInformationStaticsSlots) == 8 * kSlot);
static_assert(offsetof(rt::AccessPointConfigurationSlots, put_Ssid) == 7 * kSlot);
static_assert(offsetof(rt::AccessPointConfigurationSlots, put_Passphrase) == 9 * kSlot);
static_assert(sizeof(rt::AccessPointConfigurationSlots) == 10 * kSlot);
static_assert(offsetof(rt::TetheringOperationResultSlots, get_Status) == 6 * kSlot);
static_assert(offsetof(rt::TetheringOperationResultSlots, get_AdditionalErrorMessage) == 7 * kSlot);
static_assert(sizeof(rt::TetheringOperationResultSlots) == 8 * kSlot);
static_assert(offsetof(rt::TetheringManagerSlots, get_TetheringOperationalState) == 8 * kSlot);
static_assert(offsetof(rt::TetheringManagerSlots, GetCurrentAccessPointConfiguration) == 9 * kSlot);
static_assert(offsetof(rt::TetheringManagerSlots, ConfigureAccessPointAsync) == 10 * kSlot);
static_assert(offsetof(rt::TetheringManagerSlots, StartTetheringAsync) == 11 * kSlot);
static_assert(offsetof(rt::TetheringManagerSlots, StopTetheringAsync) == 12 * kSlot);
static_assert(sizeof(rt::TetheringManagerSlots) == 13 * kSlot);
static_assert(offsetof(rt::TetheringClientSlots, get_MacAddress) == 6 * kSlot);
static_assert(offsetof(rt::TetheringClientSlots, get_HostNames) == 7 * kSlot);
static_assert(sizeof(rt::TetheringClientSlots) == 8 * kSlot);
static_assert(offsetof(rt::TetheringClientManagerSlots, GetTetheringClients) == 6 * kSlot);
static_assert(sizeof(rt::TetheringClientManagerSlots) == 7 * kSlot);
static_assert(offsetof(rt::TetheringManagerStatics2Slots,
                       GetTetheringCapabilityFromConnectionProfile) == 6 * kSlot);
static_assert(offsetof(rt::TetheringManagerStatics2Slots, CreateFromConnectionProfile) ==
              7 * kSlot);
static_assert(sizeof(rt::TetheringManagerStatics2Slots) == 8 * kSlot);
static_assert(offsetof(rt::TetheringManagerStatics4Slots, IsNoConnectionsTimeoutEnabled) ==
              6 * kSlot);
static_assert(offsetof(rt::TetheringManagerStatics4Slots, EnableNoConnectionsTimeout) == 7 * kSlot);
static_assert(offsetof(rt::TetheringManagerStatics4Slots, DisableNoConnectionsTimeout) ==
              9 * kSlot);
static_assert(sizeof(rt::TetheringManagerStatics4Slots) == 10 * kSlot);

// The interface pointer is the object's first word: the table, nothing before it.
static_assert(sizeof(rt::ITetheringManager) == sizeof(void*));

TEST(Win32MobileHotspot, WithoutTetheringManagerEveryCallAnswersNotAvailablePromptly) {
  struct Case {
    const char* what;
    std::string adapterGuid;
  };
  const Case cases[] = {
      {"the Internet connection", ""},
      {"a connection's adapter", "{1A2B3C4D-0000-4000-8000-000000000001}"},
      {"lower case, no braces", "1a2b3c4d-0000-4000-8000-000000000001"},
      {"not a GUID", "\"; netsh wlan stop hostednetwork & rem {"},
      {"text beyond the ASCII range", "{以太网}"},
  };
  Win32MobileHotspot port;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(port.Capability(c.adapterGuid), std::nullopt);
    EXPECT_EQ(port.State(c.adapterGuid), std::nullopt);
    EXPECT_EQ(port.Clients(c.adapterGuid), std::nullopt);

    // A long limit and a worker that goes on: only the system's answer may end these.
    std::atomic<int> asked{0};
    const AsyncWait wait{60000, [&] {
                           ++asked;
                           return true;
                         }};
    const auto began = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.Configure(c.adapterGuid, "热点-Test", "pass phrase \"&|", wait));
    const TetheringResult started = port.Start(c.adapterGuid, wait);
    const TetheringResult stopped = port.Stop(c.adapterGuid, wait);
    const auto took = std::chrono::steady_clock::now() - began;
    EXPECT_LT(took, std::chrono::milliseconds(900));
    for (const TetheringResult& result : {started, stopped}) {
      EXPECT_EQ(result.status, static_cast<int>(TetheringStatus::Unknown));
      EXPECT_FALSE(result.timedOut);
      EXPECT_EQ(result.additionalError, "");
    }
    // Nothing was waited for: the answer came before any operation began.
    EXPECT_EQ(asked.load(), 0);
  }
  EXPECT_EQ(port.NoConnectionsTimeoutEnabled(), std::nullopt);
  EXPECT_FALSE(port.SetNoConnectionsTimeoutEnabled(false));
  EXPECT_FALSE(port.SetNoConnectionsTimeoutEnabled(true));
}

// A Wi-Fi adapter keeps a profile for every network it ever joined: the one it is
// connected with is the one to share, whatever the order the system lists them in.
TEST(Win32MobileHotspot, ChoosesTheConnectedProfileOfTheAdapter) {
  struct Case {
    const char* what;
    std::vector<ProfileFacts> profiles;  // {on the adapter, Internet profile, connectivity}
    std::optional<std::size_t> chosen;
  };
  const Case cases[] = {
      {"no profile at all", {}, std::nullopt},
      {"none on the adapter", {{false, true, 3}, {false, false, 3}}, std::nullopt},
      {"one, not connected", {{true, false, 0}}, 0},
      {"the connected one after saved ones",
       {{true, false, 0}, {true, false, 0}, {true, false, 3}},
       2},
      {"local access counts as connected", {{true, false, 0}, {true, false, 1}}, 1},
      {"constrained access counts too", {{false, false, 3}, {true, false, 0}, {true, false, 2}}, 2},
      {"the first connected one", {{true, false, 0}, {true, false, 1}, {true, false, 3}}, 1},
      {"the Internet profile before a connected one",
       {{true, false, 3}, {true, true, 3}, {true, false, 3}},
       1},
      {"the Internet profile of another adapter does not count",
       {{false, true, 3}, {true, false, 0}, {true, false, 1}},
       2},
      {"none connected: the first of the adapter",
       {{false, false, 3}, {true, false, 0}, {true, false, 0}},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ChooseConnectionProfile(c.profiles), c.chosen);
  }
}

// An operation of the system that answers Started for a number of polls, then its final
// status; it counts the program's calls.
struct FakeOperation {
  rt::IAsyncInfo face;
  int startedPolls = 0;
  rt::AsyncStatus final = rt::AsyncStatus::Completed;
  HRESULT statusResult = S_OK;
  HRESULT errorCode = S_OK;
  int polls = 0, cancels = 0, closes = 0;

  static FakeOperation& Of(void* self) { return *static_cast<FakeOperation*>(self); }
  static HRESULT STDMETHODCALLTYPE Status(void* self, rt::AsyncStatus* status) {
    FakeOperation& op = Of(self);
    *status = op.polls++ < op.startedPolls ? rt::AsyncStatus::Started : op.final;
    return op.statusResult;
  }
  static HRESULT STDMETHODCALLTYPE ErrorCode(void* self, HRESULT* code) {
    *code = Of(self).errorCode;
    return S_OK;
  }
  static HRESULT STDMETHODCALLTYPE Cancel(void* self) {
    ++Of(self).cancels;
    return S_OK;
  }
  static HRESULT STDMETHODCALLTYPE Close(void* self) {
    ++Of(self).closes;
    return S_OK;
  }
  static constexpr rt::AsyncInfoSlots kSlots = {
      {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
      nullptr,
      Status,
      ErrorCode,
      Cancel,
      Close};
};
static_assert(offsetof(FakeOperation, face) == 0);

TEST(Win32MobileHotspot, AnOperationIsAwaitedUntilItsAnswerItsLimitOrTheWorkerEnds) {
  constexpr std::uint32_t kForever = 1'000'000;
  struct Case {
    const char* what;
    int startedPolls;
    rt::AsyncStatus final;
    HRESULT statusResult;
    std::uint32_t limitMs;
    int keepGoingAnswers;  // how often keepGoing answers true before false; -1: always
    WaitOutcome outcome;
    std::string report;  // what the one report says; empty: none
    int cancels, closes;
  };
  const Case cases[] = {
      {"completes", 3, rt::AsyncStatus::Completed, S_OK, kForever, -1, WaitOutcome::Completed, "",
       0, 0},
      {"fails", 2, rt::AsyncStatus::Error, S_OK, kForever, -1, WaitOutcome::Failed,
       "Operation: error 0x80070005", 0, 1},
      {"cancelled by the system", 0, rt::AsyncStatus::Canceled, S_OK, kForever, -1,
       WaitOutcome::Failed, "Operation: the system cancelled", 0, 1},
      {"status unreadable", 0, rt::AsyncStatus::Completed, E_UNEXPECTED, kForever, -1,
       WaitOutcome::Failed, "Operation get_Status: error 0x8000FFFF", 0, 1},
      {"no answer within the limit", 1 << 30, rt::AsyncStatus::Completed, S_OK, 60, -1,
       WaitOutcome::TimedOut, "Operation: no answer within 60 ms", 1, 1},
      {"the worker ends", 1 << 30, rt::AsyncStatus::Completed, S_OK, kForever, 2,
       WaitOutcome::GivenUp, "", 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeOperation op;
    op.face.slots = &FakeOperation::kSlots;
    op.startedPolls = c.startedPolls;
    op.final = c.final;
    op.statusResult = c.statusResult;
    op.errorCode = E_ACCESSDENIED;
    int asked = 0;
    const AsyncWait wait{c.limitMs,
                         [&] { return c.keepGoingAnswers < 0 || asked++ < c.keepGoingAnswers; }};
    testing::ExpectedFailureReports reports;
    const auto began = std::chrono::steady_clock::now();
    EXPECT_EQ(AwaitOperation(op.face, wait, "Operation"), c.outcome);
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(500));
    EXPECT_EQ(op.cancels, c.cancels);
    EXPECT_EQ(op.closes, c.closes);
    const std::vector<std::string> lines = reports.Lines();
    ASSERT_EQ(lines.size(), c.report.empty() ? 0u : 1u);
    EXPECT_TRUE(c.report.empty() || lines[0].find(c.report) != std::string::npos) << lines[0];
  }
}

// A later PC whose driver has no hosted network and whose simulated system would offer
// the mobile hotspot; the Windows side, which finds no tethering manager here, answers
// in its place.
TEST(Win32MobileHotspot, WithoutTetheringManagerTheStartTakesTheHostedPath) {
  Win32MobileHotspot port;
  testing::HeadlessProgram program(
      sim::ParseScenario(std::string(testing::kLaterPc) +
                         std::string(testing::kDriverWithoutHostedNetwork)),
      port);
  ASSERT_TRUE(program.Start());
  program.Settle();
  ui::Click(program.Main().按钮开始);
  program.Settle();
  // The hosted path, which cannot start on this driver and says so.
  ASSERT_EQ(program.messages.AllShown().size(), 1u);
  EXPECT_TRUE(
      program.messages.AllShown()[0].text.starts_with("开启失败！失败类型：无法启动承载网络。"));
  EXPECT_FALSE(program.pc.network.SharingLog().empty());
  EXPECT_FALSE(program.pc.network.MobileHotspot().on);
  EXPECT_EQ(program.pc.network.MobileHotspot().calls, 0);
}

}  // namespace
}  // namespace lumora::platform::win32
