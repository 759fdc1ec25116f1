#include "tools/server/club_rules.h"

namespace zelbo {

namespace {
constexpr int64_t HourMs = 60 * 60 * 1000;
}

TableFate DecideFate(bool over, int people, int64_t quietMs, bool robotsPaused,
                     const ClubTimeouts& timeouts) {
  if (people > 0) return robotsPaused ? TableFate::ResumeRobots : TableFate::Keep;
  if (over) return quietMs >= timeouts.closeOverMs ? TableFate::Close : TableFate::Keep;
  if (quietMs >= timeouts.unloadMs) return TableFate::Unload;
  if (quietMs >= timeouts.pauseRobotsMs && !robotsPaused) return TableFate::PauseRobots;
  return TableFate::Keep;
}

uint32_t TableSeed(uint32_t base, uint32_t number, std::string_view id) {
  uint64_t x = uint64_t{base} << 32 | number;
  if (base == 0)
    for (const char c : id) x = (x ^ static_cast<uint8_t>(c)) * 0x100000001B3ULL;  // FNV-1a
  // The SplitMix64 finaliser: every input bit moves about half the bits.
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  x ^= x >> 31;
  const auto seed = static_cast<uint32_t>(x >> 32);
  return seed == 0 ? 1 : seed;
}

CreationVerdict JudgeCreation(std::deque<int64_t>& recent, int64_t nowMs, int openByAddress,
                              int tablesInMemory, const ClubLimits& limits) {
  while (!recent.empty() && nowMs - recent.front() >= HourMs) recent.pop_front();
  if (static_cast<int>(recent.size()) >= limits.createdPerHour)
    return {429, "at most " + std::to_string(limits.createdPerHour) +
                     " new tables an hour from one address; try again later"};
  if (openByAddress >= limits.openPerAddress)
    return {429, "at most " + std::to_string(limits.openPerAddress) +
                     " open tables from one address; finish one first"};
  if (tablesInMemory >= limits.maxTables)
    return {503, "the server holds as many tables as it can (" + std::to_string(limits.maxTables) +
                     "); try again later"};
  return {};
}

}  // namespace zelbo
