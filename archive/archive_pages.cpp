#include "archive/archive_pages.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QResource>

#include "engine/cards.h"
#include "engine/decision_text.h"
#include "records/finished_game.h"
#include "records/game_replay.h"
#include "web/web_assets.h"

namespace zelbo {

namespace {

constexpr int kMaxPage = 1000000;

// A positive decimal number of at most `digits` digits, nothing else.
std::optional<long long> PositiveNumber(std::string_view text, std::size_t digits) {
  if (text.empty() || text.size() > digits || text[0] == '0') return std::nullopt;
  long long n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

PageAnswer NotFound() { return PageAnswer{404, {}, {}, {}}; }

PageAnswer Json(const QJsonObject& object) {
  return PageAnswer{200, "application/json",
                    QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString(), {}};
}

std::optional<PageAnswer> Asset(const char* name) {
  const QString file = WebAssetFor(QString::fromLatin1(name));
  if (file.isEmpty()) return std::nullopt;
  const QByteArray body = QResource(file).uncompressedData();
  return PageAnswer{200, WebContentType(name), body.toStdString(), {}};
}

template <class T>
QJsonArray Four(const std::array<T, 4>& values) {
  QJsonArray a;
  for (const T& v : values) {
    if constexpr (std::is_same_v<T, std::string>)
      a.append(QString::fromStdString(v));
    else
      a.append(static_cast<qint64>(v));
  }
  return a;
}

QJsonObject RowJson(const ArchivedGameRow& r) {
  return QJsonObject{{"id", static_cast<qint64>(r.id)},
                     {"endedAt", static_cast<qint64>(r.endedAt)},
                     {"table", QString::fromStdString(r.table)},
                     {"handles", Four(r.handles)},
                     {"totals", Four(r.totals)},
                     {"deals", r.deals}};
}

std::string Attachment(const std::string& name) {
  return "Content-Disposition: attachment; filename=\"" + name + "\"\r\n";
}

}  // namespace

std::optional<std::string> QueryValue(std::string_view query, std::string_view name) {
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    const std::size_t eq = pair.find('=');
    if (pair.substr(0, eq) != name) continue;
    QByteArray raw = QByteArray(eq == std::string_view::npos ? "" : pair.data() + eq + 1,
                                eq == std::string_view::npos ? 0 : static_cast<qsizetype>(pair.size() - eq - 1));
    raw.replace('+', ' ');
    return QByteArray::fromPercentEncoding(raw).toStdString();
  }
  return std::nullopt;
}

std::string ArchivedGameJson(const ArchivedGame& game) {
  QJsonObject out = RowJson(game.row);
  GameState g;
  std::string error;
  const bool restored = RestoreFinishedGame(game.savedGame, game.row.handles, g, error);
  // Each deal's decisions and cards come from the engine replaying the
  // stored game, so the order is the order in which they were played.
  QJsonArray decisions[DealRows], cards[DealRows];
  bool replayed = false;
  if (restored) {
    GameReplay replay(g);
    for (int steps = 0; steps < MaxGameSteps; ++steps) {
      const GameState& now = replay.Now();
      const ReplayAction a = replay.NextAction();
      const int deal = now.dealNumber;
      if (a.kind == ReplayAction::Kind::None || deal < 1 || deal > DealCount) break;
      if (a.kind == ReplayAction::Kind::Decision) {
        std::string text;
        DecisionText(text, g, deal, now.dealer, now.turn, game.row.handles);
        decisions[deal].append(QJsonObject{{"seat", a.seat}, {"value", a.value},
                                           {"text", QString::fromStdString(text)}});
      } else {
        const int round = now.phase == PhaseFirstLead ? 0 : now.playRound;
        cards[deal].append(QJsonObject{{"seat", a.seat}, {"card", a.value}, {"trick", round + 1}});
      }
      if (!replay.Step()) break;
    }
    replayed = replay.Finished();
  }
  std::array<int32_t, 4> running{};
  QJsonArray deals;
  for (const DealSummary& d : game.deals) {
    char name[64] = "";
    ContractLongName(name, d.contract);
    for (int s = 0; s < 4; ++s) running[s] += d.points[s];
    QJsonArray doubles;
    for (int x : d.doubles) doubles.append(x < 0 ? QJsonValue() : QJsonValue(x));
    const bool inRange = d.deal >= 1 && d.deal <= DealCount;
    deals.append(QJsonObject{{"deal", d.deal},
                             {"dealer", d.dealer},
                             {"contract", d.contract},
                             {"contractName", QString::fromLatin1(name)},
                             {"doubles", doubles},
                             {"points", Four(d.points)},
                             {"totals", Four(running)},
                             {"decisions", inRange ? decisions[d.deal] : QJsonArray()},
                             {"cards", inRange ? cards[d.deal] : QJsonArray()}});
  }
  out.insert("dealList", deals);
  out.insert("replayed", replayed);
  if (!restored) out.insert("damaged", QString::fromStdString(error));
  return QJsonDocument(out).toJson(QJsonDocument::Compact).toStdString();
}

std::optional<PageAnswer> ArchivePages::Answer(std::string_view target) {
  const std::size_t q = target.find('?');
  const std::string_view path = target.substr(0, q);
  const std::string_view query = q == std::string_view::npos ? std::string_view() : target.substr(q + 1);
  std::string error;

  if (path == "/games" || path == "/games/") return Asset("games.html");
  if (path == "/api/games") {
    const std::string handle = QueryValue(query, "handle").value_or("");
    long long page = 1;
    if (const auto p = QueryValue(query, "page")) {
      const auto n = PositiveNumber(*p, 7);
      if (!n || *n > kMaxPage) return NotFound();
      page = *n;
    }
    ArchivePage result;
    if (!archive_.List(handle, static_cast<int>(page), result, error)) return PageAnswer{500, {}, {}, {}};
    if (page > 1 && result.games.empty()) return NotFound();
    QJsonArray games;
    for (const ArchivedGameRow& r : result.games) games.append(RowJson(r));
    QJsonArray seats;
    for (int s = 0; s < 4; ++s) seats.append(QString::fromLatin1(SeatName(s)));
    return Json(QJsonObject{{"page", static_cast<qint64>(page)},
                            {"seats", seats},
                            {"more", result.more},
                            {"handle", QString::fromStdString(handle)},
                            {"games", games}});
  }

  // /games/ID and /api/games/ID[/records.txt|/game.zelbo]
  std::string_view rest;
  bool api = false;
  if (path.rfind("/games/", 0) == 0) {
    rest = path.substr(7);
  } else if (path.rfind("/api/games/", 0) == 0) {
    rest = path.substr(11);
    api = true;
  } else {
    return std::nullopt;
  }
  const std::size_t slash = rest.find('/');
  const std::string_view file = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
  const auto id = PositiveNumber(rest.substr(0, slash), 15);
  if (!id || (!api && slash != std::string_view::npos)) return NotFound();
  const auto game = archive_.Find(*id, error);
  if (!game) return error.empty() ? NotFound() : PageAnswer{500, {}, {}, {}};
  if (!api) return Asset("game.html");
  const std::string stem = "game-" + std::to_string(*id);
  if (slash == std::string_view::npos)
    return PageAnswer{200, "application/json", ArchivedGameJson(*game), {}};
  if (file == "game.zelbo")
    return PageAnswer{200, "application/octet-stream",
                      std::string(game->savedGame.begin(), game->savedGame.end()), Attachment(stem + ".zelbo")};
  if (file == "records.txt") {
    std::string text;
    if (!FinishedGameHandRecords(game->savedGame, game->row.handles, game->row.endedAt, text, error))
      return PageAnswer{500, {}, {}, {}};
    return PageAnswer{200, "text/plain; charset=utf-8", text, Attachment(stem + ".txt")};
  }
  return NotFound();
}

}  // namespace zelbo
