// Club: the tables of `zelbowin-server --lobby`. The house table "main"
// always exists and takes the TCP port; every other table is opened through
// the API, lives in DIR/tables/ID/ (its autosave, undo files, hand records
// and table.info) and is reached at /t/ID/ through the web door. Tables
// that people left are let go step by step (see DecideFate); an unloaded
// table's folder stays, and opening its link loads it again.
#pragma once

#include <QObject>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hosting/hosted_table.h"
#include "hosting/table_id.h"
#include "hosting/table_info.h"
#include "tools/server/club_rules.h"
#include "tools/server/headless_ui.h"
#include "web/lobby_api.h"
#include "web/qt/web_door.h"

namespace zelbo {

struct ClubOptions {
  std::filesystem::path dir;    // the tables live in dir/tables/
  HostedTableOptions house;     // the house table (its robots, seed, ...)
  uint16_t port = 0;            // the house table's TCP port
  int takeoverSeconds = 0;      // for every table's seat warmer
  int tableRobots = 3;          // seats robots take at a new table with robots (1..4)
  uint32_t seed = 0;            // new tables' seeds are made from it (0: from their ids)
  ClubLimits limits;
  ClubTimeouts timeouts;
  int tickMs = 1000;            // how often the tables' fates are looked at
  FinishedGameSink* archive = nullptr;  // where every table's finished games go; outlives the club
};

class Club : public QObject, public DoorSite {
  Q_OBJECT
 public:
  // `router` must outlive the club; pane lines go to `out`.
  Club(TableRouter& router, ClubOptions options, std::FILE* out = stdout, QObject* parent = nullptr);
  ~Club() override;

  // Opens the house table, and with `resume` brings back every table found
  // in the folder that was not closed (as many as the limit lets into
  // memory; the rest load when their link is opened).
  bool Start(bool resume, std::string& error);
  void Stop();

  HostedTable* House() { return Loaded(std::string(HouseTableId)); }
  // A table in memory, or null.
  HostedTable* Loaded(const std::string& id);
  int TablesInMemory() const;
  // Looks at every table's fate now (the timer does it every tickMs).
  void Tick();

  // DoorSite
  int OpenTable(const std::string& id) override;
  Answer Api(std::string_view method, std::string_view path, std::string_view body,
             const std::string& client) override;

 private:
  struct Entry {
    TableInfo info;
    std::unique_ptr<HeadlessUi> ui;
    std::unique_ptr<HostedTable> table;  // null while unloaded
    int64_t quietSinceMs = -1;           // since when it has had no people
    TableListing lastSeen;               // its listing when it was unloaded
    uint32_t seed = 0;                   // of a new game; a resumed one keeps its own
  };

  std::filesystem::path Folder(const std::string& id) const;
  bool Load(const std::string& id, Entry& entry, bool resume, std::string& error);
  void Unload(Entry& entry);
  TableListing Listing(const std::string& id, const Entry& entry) const;
  Answer Create(std::string_view body, const std::string& client);
  Answer List();
  int64_t NowMs() const;

  TableRouter& router_;
  ClubOptions options_;
  std::FILE* out_;
  std::map<std::string, Entry> tables_;
  std::map<std::string, std::deque<int64_t>> created_;  // by client address
  uint32_t opened_ = 0;  // tables this run has opened through the API
  // Every lobby page asks for the list each second; it is made at most
  // every ListReuseMs, and again at once after a table opens or goes.
  static constexpr int64_t ListReuseMs = 500;
  std::string list_;
  int64_t listMadeMs_ = -1;
  QTimer tick_;
};

}  // namespace zelbo
