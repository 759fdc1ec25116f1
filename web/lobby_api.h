// The club server's HTTP surface, pure: which part of the site a request
// path names, the body of "POST /api/tables" read strictly, and the JSON
// the API answers with. Bytes in, values out, so a fuzzer can drive it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelbo {

// The largest request body the door reads (a new table's form); a larger
// one is refused with 413.
constexpr std::size_t MaxApiBodyBytes = 4096;
inline constexpr std::string_view LobbyPageAsset = "/lobby.html";

struct SitePath {
  enum class Kind { Asset, Socket, Api, NotFound };
  Kind kind = Kind::NotFound;
  std::string table;  // the table the page or the WebSocket is of ("" in a one-table server)
  std::string asset;  // for Asset: the embedded file's request name ("/" for the table page)
};

// Without a lobby: "/ws" is the table's WebSocket and everything else an
// asset. With one: "/" is the lobby page, "/api" and below the API,
// "/t/ID/" the table page (its files below it), "/t/ID/ws" its WebSocket.
SitePath ClassifySitePath(std::string_view path, bool lobby);

// "POST /api/tables": {"name": string, "robots": "none|easy|normal|strong",
// "listed": bool, "watchersSeeHands": bool}; every field may be left out.
struct NewTableRequest {
  std::string name;
  std::string robots = "none";
  bool listed = true;
  bool watchersSeeHands = true;
};

// nullopt with a message for the client in `error` when the body is not
// one flat JSON object of exactly those fields and types.
std::optional<NewTableRequest> ParseNewTableRequest(std::string_view body, std::string& error);

// `text` as a JSON string, quotes included; bytes that are not valid UTF-8
// become U+FFFD.
std::string JsonQuote(std::string_view text);

struct SeatListing {
  std::string handle;  // "" for an empty seat
  bool robot = false;
};

struct TableListing {
  std::string id, name;
  SeatListing seats[4];
  int watchers = 0;
  int dealNumber = 0;
  std::string state;  // waiting, playing, suspended or over
  int64_t created = 0;
};

// {"tables":[{"id":...,"name":...,"seats":[{"handle":...,"robot":...}x4],
// "watchers":N,"dealNumber":N,"state":...,"created":N}, ...]}
std::string TableListJson(const std::vector<TableListing>& tables);
// {"error":"message"}
std::string ApiErrorJson(std::string_view message);

}  // namespace zelbo
