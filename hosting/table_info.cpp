#include "hosting/table_info.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace zelbo {

namespace {

// Names come from a form: no line breaks or other control bytes may reach
// the file or the list.
std::string CleanName(std::string_view text) {
  std::string name;
  for (char c : text) name += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
  return name;
}

bool ParseBool(std::string_view v, bool& out) {
  if (v != "0" && v != "1") return false;
  out = v == "1";
  return true;
}

}  // namespace

std::string TableInfoText(const TableInfo& info) {
  std::string t;
  t += "name=" + CleanName(info.name) + "\n";
  t += std::string("listed=") + (info.listed ? "1" : "0") + "\n";
  t += std::string("robots=") + (info.robots ? RobotLevelName(info.robotLevel) : "none") + "\n";
  t += "robotSeats=" + std::to_string(info.robotSeats) + "\n";
  t += std::string("watchersSeeHands=") + (info.watchersSeeHands ? "1" : "0") + "\n";
  t += "created=" + std::to_string(info.created) + "\n";
  t += "creator=" + CleanName(info.creator) + "\n";
  t += std::string("closed=") + (info.closed ? "1" : "0") + "\n";
  return t;
}

std::optional<TableInfo> ParseTableInfo(std::string_view text) {
  TableInfo info;
  bool named = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
    bool ok = true;
    if (key == "name") {
      info.name = CleanName(value);
      named = true;
    } else if (key == "listed") {
      ok = ParseBool(value, info.listed);
    } else if (key == "robots") {
      info.robots = value != "none";
      ok = !info.robots || ParseRobotLevel(value, info.robotLevel);
    } else if (key == "robotSeats") {
      ok = value.size() == 1 && value[0] >= '1' && value[0] <= '4';
      if (ok) info.robotSeats = value[0] - '0';
    } else if (key == "watchersSeeHands") {
      ok = ParseBool(value, info.watchersSeeHands);
    } else if (key == "created") {
      ok = std::from_chars(value.data(), value.data() + value.size(), info.created).ec == std::errc();
    } else if (key == "creator") {
      info.creator = std::string(value);
    } else if (key == "closed") {
      ok = ParseBool(value, info.closed);
    }
    if (!ok) return std::nullopt;
  }
  if (!named) return std::nullopt;
  return info;
}

std::optional<TableInfo> ReadTableInfo(const std::filesystem::path& folder) {
  std::ifstream in(folder / TableInfoFileName, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(4096, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return ParseTableInfo(text);
}

bool WriteTableInfo(const std::filesystem::path& folder, const TableInfo& info, std::string& error) {
  const std::filesystem::path target = folder / TableInfoFileName;
  const std::filesystem::path temp = folder / (std::string(TableInfoFileName) + ".new");
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << TableInfoText(info);
    out.flush();
    if (!out) {
      error = "cannot write " + temp.string();
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    error = "cannot rename " + temp.string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace zelbo
