// The club server's rules as verdicts: what becomes of a table that people
// left, and whether an address may open one more table. The club only
// applies them, with its clock; tests drive them with any times.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace zelbo {

struct ClubTimeouts {
  int64_t pauseRobotsMs = 60 * 1000;    // unfinished, nobody there: robots go
  int64_t unloadMs = 10 * 60 * 1000;    // unfinished, nobody there: out of memory
  int64_t closeOverMs = 10 * 60 * 1000; // over, nobody there: closed for good
};

enum class TableFate { Keep, ResumeRobots, PauseRobots, Unload, Close };

// `quietMs` is how long the table has had no people (0 while it has some).
TableFate DecideFate(bool over, int people, int64_t quietMs, bool robotsPaused,
                     const ClubTimeouts& timeouts);

struct ClubLimits {
  int maxTables = 1000;        // tables in memory, the house table counted
  int createdPerHour = 10;     // tables one address may open in an hour
  int openPerAddress = 5;      // tables opened by one address that are not closed
};

struct CreationVerdict {
  int status = 0;              // 0: allowed; else 429 or 503
  std::string message;
};

// The seed of a new table, never 0. With a run's `base` seed it is made
// from the base and the table's `number` (from 1) in the run, so runs with
// the same base deal their tables the same games. Without (base 0) it is
// made from the table's random `id`: tables opened in the same second are
// not dealt the same game, as they would be from the clock.
uint32_t TableSeed(uint32_t base, uint32_t number, std::string_view id);

// `recent` holds the times (ms) at which the address opened tables; the
// ones older than an hour are dropped from it.
CreationVerdict JudgeCreation(std::deque<int64_t>& recent, int64_t nowMs, int openByAddress,
                              int tablesInMemory, const ClubLimits& limits);

}  // namespace zelbo
