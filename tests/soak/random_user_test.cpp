// The random user's fixed seeds on each kind of PC: every invariant holds after each
// session. bench/soak plays many more; a seed it finds breaking belongs here.
#include "soak/random_user.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace lumora::soak {
namespace {

constexpr std::uint64_t kSeeds = 100;

void PlaySeeds(PcKind kind) {
  for (std::uint64_t seed = 1; seed <= kSeeds; ++seed) {
    testing::ExpectedFailureReports reports;
    SessionResult session = PlaySession(kind, seed);
    for (const std::string& line : reports.Lines()) session.breaks.push_back("reported: " + line);
    if (session.breaks.empty()) continue;
    std::string told;
    for (const std::string& b : session.breaks) told += "  break: " + b + "\n";
    for (const std::string& a : session.actions) told += "  " + a + "\n";
    ADD_FAILURE() << PcKindName(kind) << " seed " << seed << " (bench/soak 1 --pc "
                  << PcKindName(kind) << " --seed " << seed << "):\n"
                  << told;
  }
}

TEST(RandomUser, Windows7SessionsKeepEveryInvariant) { PlaySeeds(PcKind::Windows7); }
TEST(RandomUser, LaterHostedSessionsKeepEveryInvariant) { PlaySeeds(PcKind::LaterHosted); }
TEST(RandomUser, LaterMobileSessionsKeepEveryInvariant) { PlaySeeds(PcKind::LaterMobile); }

}  // namespace
}  // namespace lumora::soak
