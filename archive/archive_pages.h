// The archive's pages on the web door:
//   /games                      the list page (its script reads /api/games)
//   /games/ID                   one game's page (its script reads /api/games/ID)
//   /api/games?handle=H&page=N  50 games a page, newest first, as JSON;
//                               those where H sat when a handle is given
//   /api/games/ID               the game as JSON: every decision and every
//                               card in the order played, with its seat and
//                               trick, and the scores, from a replay of the
//                               stored game through the engine
//   /api/games/ID/records.txt   the hand records, as the table wrote them
//   /api/games/ID/game.zelbo    the saved game
// An ID that is not a number, an unknown game and a page past the last
// are 404; a handle only ever reaches the database as a bound parameter.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "archive/archive_db.h"
#include "web/page_routes.h"

namespace zelbo {

class ArchivePages : public PageRoutes {
 public:
  // `archive` is read on the calling thread and must outlive the pages.
  explicit ArchivePages(ArchiveDb& archive) : archive_(archive) {}
  std::optional<PageAnswer> Answer(std::string_view target) override;

 private:
  ArchiveDb& archive_;
};

// The game's JSON (see above); for tests and the pages.
std::string ArchivedGameJson(const ArchivedGame& game);
// The value of `name` in a query string ("a=1&b=x%20y"), percent-decoded
// and with '+' read as a space; nullopt when it is not there.
std::optional<std::string> QueryValue(std::string_view query, std::string_view name);

}  // namespace zelbo
