// Plays N random-user sessions on each kind of PC (or one kind) and ends with one line:
//   soak: N sessions, K actions, B invariant breaks
// A break prints its kind, seed and actions; --seed replays from that seed.
//   random_user_soak N [--seed S] [--pc windows7|later-hosted|later-mobile]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/failure_report.h"
#include "soak/random_user.h"

namespace {

class CollectingSink final : public lumora::platform::FailureSink {
 public:
  void Write(std::string_view line) override {
    std::lock_guard guard(lock_);
    lines_.emplace_back(line);
  }
  std::vector<std::string> Take() {
    std::lock_guard guard(lock_);
    return std::exchange(lines_, {});
  }

 private:
  std::mutex lock_;
  std::vector<std::string> lines_;
};

}  // namespace

int main(int argc, char** argv) {
  using namespace lumora::soak;
  if (argc < 2) {
    std::cerr << "usage: " << argv[0] << " N [--seed S] [--pc KIND]\n";
    return 2;
  }
  const std::uint64_t sessions = std::strtoull(argv[1], nullptr, 10);
  std::uint64_t firstSeed = 1;
  std::vector<PcKind> kinds(std::begin(kPcKinds), std::end(kPcKinds));
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--seed") {
      firstSeed = std::strtoull(argv[i + 1], nullptr, 10);
    } else if (flag == "--pc") {
      kinds.clear();
      for (PcKind kind : kPcKinds)
        if (PcKindName(kind) == argv[i + 1]) kinds.push_back(kind);
      if (kinds.empty()) {
        std::cerr << "no kind of PC " << argv[i + 1] << "\n";
        return 2;
      }
    } else {
      std::cerr << "unknown option " << flag << "\n";
      return 2;
    }
  }
  CollectingSink sink;
  lumora::platform::SetFailureSink(&sink);
  std::uint64_t played = 0, actions = 0, breaks = 0;
  const auto began = std::chrono::steady_clock::now();
  for (PcKind kind : kinds) {
    for (std::uint64_t seed = firstSeed; seed < firstSeed + sessions; ++seed) {
      SessionResult session = PlaySession(kind, seed);
      for (const std::string& line : sink.Take()) session.breaks.push_back("reported: " + line);
      ++played;
      actions += session.actions.size();
      if (session.breaks.empty()) continue;
      breaks += session.breaks.size();
      std::cout << "break: " << PcKindName(kind) << " seed " << seed << "\n";
      for (const std::string& b : session.breaks) std::cout << "  " << b << "\n";
      for (const std::string& a : session.actions) std::cout << "    " << a << "\n";
      std::cout.flush();
    }
  }
  lumora::platform::SetFailureSink(nullptr);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  std::cerr << "soak: " << seconds << " s\n";
  std::cout << "soak: " << played << " sessions, " << actions << " actions, " << breaks
            << " invariant breaks\n";
  return breaks == 0 ? 0 : 1;
}
