#include "tools/server/club.h"

#include <chrono>
#include <ctime>

#include "engine/game_state.h"
#include "hosting/table_id.h"
#include "robot/robot_seats.h"
#include "tools/server/resume_plan.h"

namespace zelbo {

namespace {

constexpr std::string_view TablesPath = "/api/tables";

// Control bytes made spaces, at most MaxTableNameBytes cut where a
// character starts, without the white space around it; "Table" for none.
std::string TableName(std::string_view raw) {
  std::string clean(raw);
  for (char& c : clean)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  std::string_view text = clean;
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.size() > MaxTableNameBytes) {
    std::size_t cut = MaxTableNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text = text.substr(0, cut);
  }
  return text.empty() ? std::string("Table") : std::string(text);
}

std::string StateName(const GameState& g) {
  if (g.phase == PhaseIdle) return "waiting";
  if (g.phase == PhaseGameOver) return "over";
  return IsSuspended(g.phase) ? "suspended" : "playing";
}

DoorSite::Answer Json(int status, std::string json, std::string extra = {}) {
  return {status, std::move(json), std::move(extra)};
}

}  // namespace

Club::Club(TableRouter& router, ClubOptions options, std::FILE* out, QObject* parent)
    : QObject(parent), router_(router), options_(std::move(options)), out_(out) {
  tick_.setInterval(options_.tickMs);
  connect(&tick_, &QTimer::timeout, this, &Club::Tick);
}

Club::~Club() { Stop(); }

int64_t Club::NowMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::filesystem::path Club::Folder(const std::string& id) const { return options_.dir / "tables" / id; }

bool Club::Start(bool resume, std::string& error) {
  const std::string house(HouseTableId);
  Entry& main = tables_[house];
  main.info.name = "House table";
  main.info.watchersSeeHands = options_.house.config.watchersSeeHands;
  main.info.robots = options_.house.robots > 0;
  main.info.robotLevel = options_.house.robotLevel;
  if (!Load(house, main, resume, error)) return false;
  if (resume) {
    std::error_code ec;
    for (const auto& dir : std::filesystem::directory_iterator(options_.dir / "tables", ec)) {
      const std::string id = dir.path().filename().string();
      if (id == house || !IsTableId(id) || !dir.is_directory(ec)) continue;
      const std::optional<TableInfo> info = ReadTableInfo(dir.path());
      if (!info || info->closed) continue;
      Entry& e = tables_[id];
      e.info = *info;
      e.lastSeen = Listing(id, e);
      std::string why;
      if (TablesInMemory() < options_.limits.maxTables && !Load(id, e, true, why))
        std::fprintf(out_, "[%s] not resumed: %s\n", id.c_str(), why.c_str());
    }
  }
  tick_.start();
  return true;
}

void Club::Stop() {
  tick_.stop();
  tables_.clear();
}

HostedTable* Club::Loaded(const std::string& id) {
  const auto it = tables_.find(id);
  return it == tables_.end() ? nullptr : it->second.table.get();
}

int Club::TablesInMemory() const {
  int n = 0;
  for (const auto& [id, e] : tables_) n += e.table != nullptr;
  return n;
}

bool Club::Load(const std::string& id, Entry& e, bool resume, std::string& error) {
  const std::filesystem::path folder = Folder(id);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec)) {
    error = "cannot use folder \"" + folder.string() + "\"";
    return false;
  }
  ResumePlan plan;
  plan.autosaveName = AutosaveName(0);
  if (resume) {
    plan = PlanResume(folder);
    for (const std::string& line : plan.refused) std::fprintf(out_, "[%s] %s\n", id.c_str(), line.c_str());
    if (!plan.usable) {
      error = "no autosave name left in \"" + folder.string() + "\"";
      return false;
    }
  }
  const bool house = id == HouseTableId;
  HostedTableOptions o = options_.house;
  if (!house) {
    o.config = ServerConfig{std::string(NonplayingServerHandle), {}, e.seed};
    o.robots = e.info.robots ? e.info.robotSeats : 0;
    o.robotLevel = e.info.robotLevel;
    o.robotsReconnect = true;
    o.takeoverSeconds = options_.takeoverSeconds;
    o.route = id;
  }
  o.config.writer = options_.house.config.writer;  // one writer thread for every table
  o.config.folder = folder.string();
  o.config.autosaveName = plan.autosaveName;
  o.config.watchersSeeHands = e.info.watchersSeeHands;
  e.ui = std::make_unique<HeadlessUi>(out_);
  e.ui->SetPrefix("[" + id + "] ");
  e.table = std::make_unique<HostedTable>(router_, *e.ui, o);
  e.ui->SetTable(&e.table->Server());
  if (options_.archive) e.table->Server().SetFinishedGameSink(options_.archive, id);
  // A club table whose game ended comes back ended, to be closed when
  // nobody is there, not as a new table that would never close.
  const bool loadFile = plan.resume || (plan.finished && !house);
  const bool ok =
      (!loadFile ||
       e.table->Server().LoadGameFile((folder / plan.autosaveName).string(), error)) &&
      e.table->Start(house ? options_.port : 0, error);
  if (!ok) {
    e.table.reset();
    e.ui.reset();
    return false;
  }
  e.quietSinceMs = NowMs();
  return true;
}

void Club::Unload(Entry& e) {
  // Listed as it was, with nobody there.
  e.lastSeen = Listing({}, e);
  for (SeatListing& seat : e.lastSeen.seats) seat = {};
  e.lastSeen.watchers = 0;
  if (e.lastSeen.state == "playing") e.lastSeen.state = "suspended";
  e.table.reset();
  e.ui.reset();
}

TableListing Club::Listing(const std::string& id, const Entry& e) const {
  TableListing l;
  if (!e.table) {
    l = e.lastSeen;
  } else {
    const ServerTable& s = e.table->Server();
    for (int seat = 0; seat < 4; ++seat) {
      const ConnId conn = s.Occupants()[static_cast<std::size_t>(seat)];
      const Connection* c = conn == EmptySeat ? nullptr : s.Connections().Find(conn);
      if (!c) continue;
      l.seats[seat].handle = c->handle;
      l.seats[seat].robot = IsRobotHandle(c->handle);
    }
    for (const Connection& c : s.Connections().all())
      l.watchers += c.joined && SeatOf(s.Occupants(), c.conn) < 0;
    l.dealNumber = s.Game().dealNumber;
    l.state = StateName(s.Game());
  }
  if (!id.empty()) l.id = id;
  l.name = e.info.name;
  l.created = e.info.created;
  return l;
}

void Club::Tick() {
  const int64_t now = NowMs();
  std::vector<std::string> closed;
  for (auto& [id, e] : tables_) {
    if (!e.table || id == HouseTableId) continue;
    const int people = e.table->People();
    if (people > 0) e.quietSinceMs = -1;
    else if (e.quietSinceMs < 0) e.quietSinceMs = now;
    const int64_t quiet = people > 0 ? 0 : now - e.quietSinceMs;
    const bool over = e.table->Server().Game().phase == PhaseGameOver;
    switch (DecideFate(over, people, quiet, e.table->RobotsPaused(), options_.timeouts)) {
      case TableFate::Keep: continue;
      case TableFate::ResumeRobots: e.table->ResumeRobots(); break;
      case TableFate::PauseRobots:
        e.table->PauseRobots();
        std::fprintf(out_, "[%s] nobody at the table: robots stopped\n", id.c_str());
        break;
      case TableFate::Unload:
        Unload(e);
        std::fprintf(out_, "[%s] nobody at the table: unloaded, its folder stays\n", id.c_str());
        break;
      case TableFate::Close: closed.push_back(id); break;
    }
    listMadeMs_ = -1;
  }
  for (const std::string& id : closed) {
    Entry& e = tables_[id];
    e.info.closed = true;
    std::string error;
    if (!WriteTableInfo(Folder(id), e.info, error))
      std::fprintf(out_, "[%s] %s\n", id.c_str(), error.c_str());
    tables_.erase(id);
    std::fprintf(out_, "[%s] game over and nobody there: table closed\n", id.c_str());
  }
  // Addresses that opened nothing within the hour are forgotten.
  std::erase_if(created_, [now](const auto& kv) {
    return kv.second.empty() || now - kv.second.back() >= 60 * 60 * 1000;
  });
  std::fflush(out_);
}

int Club::OpenTable(const std::string& id) {
  if (!IsTableId(id)) return 404;
  const auto it = tables_.find(id);
  if (it == tables_.end()) return 404;
  Entry& e = it->second;
  if (e.table) return 0;
  if (TablesInMemory() >= options_.limits.maxTables) return 503;
  std::string error;
  if (!Load(id, e, true, error)) {
    std::fprintf(out_, "[%s] cannot load: %s\n", id.c_str(), error.c_str());
    std::fflush(out_);
    return 503;
  }
  std::fprintf(out_, "[%s] loaded again\n", id.c_str());
  std::fflush(out_);
  return 0;
}

DoorSite::Answer Club::Api(std::string_view method, std::string_view path, std::string_view body,
                           const std::string& client) {
  if (path != TablesPath) return Json(404, ApiErrorJson("no such API"));
  if (method == "GET" || method == "HEAD") return List();
  if (method == "POST") return Create(body, client);
  return Json(405, ApiErrorJson("use GET or POST"), "Allow: GET, HEAD, POST\r\n");
}

DoorSite::Answer Club::List() {
  const int64_t now = NowMs();
  if (listMadeMs_ >= 0 && now - listMadeMs_ < ListReuseMs) return Json(200, list_);
  std::vector<TableListing> list;
  for (const auto& [id, e] : tables_)
    if (e.info.listed) list.push_back(Listing(id, e));
  std::stable_sort(list.begin(), list.end(), [](const TableListing& a, const TableListing& b) {
    return a.created < b.created;
  });
  list_ = TableListJson(list);
  listMadeMs_ = now;
  return Json(200, list_);
}

DoorSite::Answer Club::Create(std::string_view body, const std::string& client) {
  std::string error;
  const std::optional<NewTableRequest> request = ParseNewTableRequest(body, error);
  if (!request) return Json(400, ApiErrorJson(error));
  int openByClient = 0;
  for (const auto& [id, e] : tables_) openByClient += e.info.creator == client;
  const int64_t now = NowMs();
  std::deque<int64_t>& recent = created_[client];
  const CreationVerdict verdict =
      JudgeCreation(recent, now, openByClient, TablesInMemory(), options_.limits);
  if (verdict.status != 0) return Json(verdict.status, ApiErrorJson(verdict.message));

  std::string id = NewTableId();
  while (!id.empty() && tables_.count(id)) id = NewTableId();
  if (id.empty()) return Json(503, ApiErrorJson("no random bytes for a table id; try again"));
  Entry e;
  e.seed = TableSeed(options_.seed, opened_ + 1, id);
  e.info.name = TableName(request->name);
  e.info.listed = request->listed;
  e.info.robots = request->robots != "none";
  if (e.info.robots) ParseRobotLevel(request->robots, e.info.robotLevel);
  e.info.robotSeats = options_.tableRobots;
  e.info.watchersSeeHands = request->watchersSeeHands;
  e.info.created = static_cast<int64_t>(std::time(nullptr));
  e.info.creator = client;
  std::error_code ec;
  std::filesystem::create_directories(Folder(id), ec);
  if (ec || !WriteTableInfo(Folder(id), e.info, error) || !Load(id, e, false, error)) {
    std::fprintf(out_, "[%s] cannot open: %s\n", id.c_str(), error.empty() ? ec.message().c_str() : error.c_str());
    std::fflush(out_);
    return Json(503, ApiErrorJson("the table cannot be opened now; try again later"));
  }
  recent.push_back(now);
  ++opened_;
  tables_.emplace(id, std::move(e));
  listMadeMs_ = -1;
  std::fprintf(out_, "[%s] opened for %s: \"%s\"%s\n", id.c_str(), client.c_str(),
               tables_[id].info.name.c_str(), request->listed ? "" : " (private)");
  std::fflush(out_);
  const std::string url = "/t/" + id + "/";
  return Json(201, "{\"id\":" + JsonQuote(id) + ",\"url\":" + JsonQuote(url) + "}",
              "Location: " + url + "\r\n");
}

}  // namespace zelbo
