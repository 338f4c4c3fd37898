// The power-off as far as a test may take it: the privilege step. No test asks the
// system to end the session.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_system.h"
#include "support/test_support.h"

namespace lumora::platform::win32 {
namespace {

// The shutdown privilege's attributes in this process's token; none when it is not there.
std::optional<DWORD> ShutdownPrivilegeAttributes() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::nullopt;
  const ScopedHandle owned(token);
  LUID shutdown{};
  if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &shutdown)) return std::nullopt;
  DWORD size = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  if (!GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) return std::nullopt;
  const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
  for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
    const LUID& luid = privileges->Privileges[i].Luid;
    if (luid.LowPart == shutdown.LowPart && luid.HighPart == shutdown.HighPart)
      return privileges->Privileges[i].Attributes;
  }
  return std::nullopt;
}

void RemoveShutdownPrivilege() {
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token));
  const ScopedHandle owned(token);
  TOKEN_PRIVILEGES removal{};
  removal.PrivilegeCount = 1;
  removal.Privileges[0].Attributes = SE_PRIVILEGE_REMOVED;
  ASSERT_TRUE(LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &removal.Privileges[0].Luid));
  ASSERT_TRUE(AdjustTokenPrivileges(token, FALSE, &removal, 0, nullptr, nullptr));
}

TEST(Win32PowerOff, EnablesTheShutdownPrivilegeAndReportsATokenWithoutIt) {
  Win32PowerOff power;
  ASSERT_TRUE(power.EnableShutdownPrivilege());
  const std::optional<DWORD> enabled = ShutdownPrivilegeAttributes();
  ASSERT_TRUE(enabled.has_value());
  EXPECT_TRUE(*enabled & SE_PRIVILEGE_ENABLED);

  // Gone from this process's token for good, the privilege cannot be enabled again,
  // although the call that tries succeeds.
  RemoveShutdownPrivilege();
  ASSERT_FALSE(ShutdownPrivilegeAttributes().has_value());
  testing::ExpectedFailureReports reports;
  EXPECT_FALSE(power.EnableShutdownPrivilege());
  ASSERT_EQ(reports.Lines().size(), 1u);
  EXPECT_TRUE(reports.Lines()[0].starts_with("AdjustTokenPrivileges: error 1300"))
      << reports.Lines()[0];
}

}  // namespace
}  // namespace lumora::platform::win32
