#include "web/lobby_api.h"

#include <cstdio>

namespace zelbo {

namespace {

constexpr std::string_view TablePrefix = "/t/";

// A strict reader of one flat JSON object whose values are strings or
// booleans: white space, escapes and nothing else of JSON.
class FlatJson {
 public:
  explicit FlatJson(std::string_view s) : s_(s) {}

  void Space() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r'))
      ++at_;
  }
  bool Take(char c) {
    Space();
    if (at_ < s_.size() && s_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool Peek(char c) {
    Space();
    return at_ < s_.size() && s_[at_] == c;
  }
  bool AtEnd() {
    Space();
    return at_ == s_.size();
  }
  bool Word(std::string_view w) {
    Space();
    if (s_.substr(at_, w.size()) != w) return false;
    at_ += w.size();
    return true;
  }
  bool String(std::string& out) {
    if (!Take('"')) return false;
    out.clear();
    while (at_ < s_.size()) {
      const char c = s_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= s_.size()) return false;
      const char e = s_[at_++];
      switch (e) {
        case '"': case '\\': case '/': out += e; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          uint32_t cp = 0;
          if (!Hex4(cp)) return false;
          if (cp >= 0xD800 && cp < 0xDC00) {
            uint32_t low = 0;
            if (s_.substr(at_, 2) != "\\u") return false;
            at_ += 2;
            if (!Hex4(low) || low < 0xDC00 || low >= 0xE000) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp < 0xE000) {
            return false;
          }
          Utf8(cp, out);
          break;
        }
        default: return false;
      }
    }
    return false;
  }

 private:
  bool Hex4(uint32_t& v) {
    if (s_.size() - at_ < 4) return false;
    for (int i = 0; i < 4; ++i) {
      const char c = s_[at_++];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= static_cast<uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') v |= static_cast<uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') v |= static_cast<uint32_t>(c - 'A' + 10);
      else return false;
    }
    return true;
  }
  static void Utf8(uint32_t cp, std::string& out) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  std::string_view s_;
  std::size_t at_ = 0;
};

// The length of the valid UTF-8 sequence at the start of `s`, 0 for none.
std::size_t Utf8Length(std::string_view s) {
  const auto b = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(0);
  std::size_t n = c < 0x80 ? 1 : (c >= 0xC2 && c < 0xE0) ? 2 : (c >= 0xE0 && c < 0xF0) ? 3 : (c >= 0xF0 && c < 0xF5) ? 4 : 0;
  if (n == 0 || s.size() < n) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((b(i) & 0xC0) != 0x80) return 0;
  // Overlong forms, surrogates and code points past U+10FFFF.
  if (n == 3 && ((c == 0xE0 && b(1) < 0xA0) || (c == 0xED && b(1) >= 0xA0))) return 0;
  if (n == 4 && ((c == 0xF0 && b(1) < 0x90) || (c == 0xF4 && b(1) >= 0x90))) return 0;
  return n;
}

}  // namespace

SitePath ClassifySitePath(std::string_view path, bool lobby) {
  SitePath p;
  if (!lobby) {
    p.kind = path == "/ws" ? SitePath::Kind::Socket : SitePath::Kind::Asset;
    if (p.kind == SitePath::Kind::Asset) p.asset = std::string(path);
    return p;
  }
  if (path == "/") {
    p.kind = SitePath::Kind::Asset;
    p.asset = std::string(LobbyPageAsset);
    return p;
  }
  if (path == "/api" || path.substr(0, 5) == "/api/") {
    p.kind = SitePath::Kind::Api;
    return p;
  }
  if (path.substr(0, TablePrefix.size()) == TablePrefix) {
    const std::string_view rest = path.substr(TablePrefix.size());
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos || slash == 0) return p;
    p.table = std::string(rest.substr(0, slash));
    const std::string_view below = rest.substr(slash);
    if (below == "/ws") {
      p.kind = SitePath::Kind::Socket;
    } else {
      p.kind = SitePath::Kind::Asset;
      p.asset = std::string(below);
    }
    return p;
  }
  // The lobby page's own files sit beside it.
  p.kind = SitePath::Kind::Asset;
  p.asset = std::string(path);
  return p;
}

std::optional<NewTableRequest> ParseNewTableRequest(std::string_view body, std::string& error) {
  NewTableRequest r;
  FlatJson j(body);
  if (!j.Take('{')) {
    error = "the body must be a JSON object";
    return std::nullopt;
  }
  bool seen[4] = {};
  bool first = true;
  while (!j.Take('}')) {
    if (!first && !j.Take(',')) {
      error = "malformed JSON";
      return std::nullopt;
    }
    first = false;
    std::string key;
    if (!j.String(key) || !j.Take(':')) {
      error = "malformed JSON";
      return std::nullopt;
    }
    int field = key == "name" ? 0 : key == "robots" ? 1 : key == "listed" ? 2 : key == "watchersSeeHands" ? 3 : -1;
    if (field < 0) {
      error = "unknown field \"" + key.substr(0, 40) + "\"";
      return std::nullopt;
    }
    if (seen[field]) {
      error = "field \"" + key + "\" given twice";
      return std::nullopt;
    }
    seen[field] = true;
    if (field <= 1) {
      std::string& out = field == 0 ? r.name : r.robots;
      if (!j.Peek('"') || !j.String(out)) {
        error = "\"" + key + "\" must be a string";
        return std::nullopt;
      }
    } else {
      bool& out = field == 2 ? r.listed : r.watchersSeeHands;
      if (j.Word("true")) out = true;
      else if (j.Word("false")) out = false;
      else {
        error = "\"" + key + "\" must be true or false";
        return std::nullopt;
      }
    }
  }
  if (!j.AtEnd()) {
    error = "malformed JSON";
    return std::nullopt;
  }
  if (r.robots != "none" && r.robots != "easy" && r.robots != "normal" && r.robots != "strong") {
    error = "\"robots\" must be none, easy, normal or strong";
    return std::nullopt;
  }
  return r;
}

std::string JsonQuote(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
      ++i;
    } else if (c < 0x20 || c == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
      ++i;
    } else if (const std::size_t n = Utf8Length(text.substr(i)); n > 0) {
      out.append(text.substr(i, n));
      i += n;
    } else {
      out += "\\ufffd";
      ++i;
    }
  }
  return out + "\"";
}

std::string TableListJson(const std::vector<TableListing>& tables) {
  std::string out = "{\"tables\":[";
  for (std::size_t t = 0; t < tables.size(); ++t) {
    const TableListing& l = tables[t];
    if (t > 0) out += ',';
    out += "{\"id\":" + JsonQuote(l.id) + ",\"name\":" + JsonQuote(l.name) + ",\"seats\":[";
    for (int s = 0; s < 4; ++s) {
      if (s > 0) out += ',';
      out += "{\"handle\":" + JsonQuote(l.seats[s].handle) + ",\"robot\":" + (l.seats[s].robot ? "true" : "false") + "}";
    }
    out += "],\"watchers\":" + std::to_string(l.watchers) + ",\"dealNumber\":" + std::to_string(l.dealNumber) +
           ",\"state\":" + JsonQuote(l.state) + ",\"created\":" + std::to_string(l.created) + "}";
  }
  return out + "]}";
}

std::string ApiErrorJson(std::string_view message) { return "{\"error\":" + JsonQuote(message) + "}"; }

}  // namespace zelbo
