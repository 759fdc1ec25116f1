#include "web/http_request.h"

#include <algorithm>
#include <cctype>

namespace zelbo {

namespace {

bool IsTokenChar(unsigned char c) {
  return std::isalnum(c) || std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) !=
                                std::string_view::npos;
}

bool IsToken(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return IsTokenChar(static_cast<unsigned char>(c)); });
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The comma-separated list `value` holds `token`, in any case.
bool ListHas(std::string_view value, std::string_view token) {
  while (!value.empty()) {
    const std::size_t comma = value.find(',');
    if (Lower(Trim(value.substr(0, comma))) == token) return true;
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return false;
}

bool ParseRequestLine(std::string_view line, HttpRequestHead& head) {
  const std::size_t a = line.find(' ');
  if (a == std::string_view::npos) return false;
  const std::size_t b = line.find(' ', a + 1);
  if (b == std::string_view::npos || line.find(' ', b + 1) != std::string_view::npos) return false;
  const std::string_view method = line.substr(0, a), target = line.substr(a + 1, b - a - 1),
                         version = line.substr(b + 1);
  if (!IsToken(method) || target.empty() || target.front() != '/') return false;
  for (char c : target)
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) return false;
  if (version == "HTTP/1.1")
    head.minorVersion = 1;
  else if (version == "HTTP/1.0")
    head.minorVersion = 0;
  else
    return false;
  head.method = std::string(method);
  head.target = std::string(target);
  return true;
}

bool ParseHeaderLine(std::string_view line, HttpRequestHead& head) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos || !IsToken(line.substr(0, colon))) return false;
  const std::string_view value = Trim(line.substr(colon + 1));
  for (char c : value) {
    const auto u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\t') || u == 0x7f) return false;
  }
  head.headers.push_back({Lower(line.substr(0, colon)), std::string(value)});
  return true;
}

// A Sec-WebSocket-Key: 16 bytes in base64, which is 22 characters and "==".
bool IsWebSocketKey(std::string_view key) {
  if (key.size() != 24 || key.substr(22) != "==") return false;
  for (std::size_t i = 0; i < 22; ++i) {
    const auto c = static_cast<unsigned char>(key[i]);
    if (!std::isalnum(c) && c != '+' && c != '/') return false;
  }
  // The last character before the padding carries 2 bits; the other 4 are zero.
  return std::string_view("AQgw").find(key[21]) != std::string_view::npos;
}

std::string WithoutTrailingSlash(std::string_view s) {
  while (!s.empty() && s.back() == '/') s.remove_suffix(1);
  return Lower(s);
}

}  // namespace

const std::string* HttpRequestHead::Find(std::string_view name) const {
  for (const HttpHeader& h : headers)
    if (h.name == name) return &h.value;
  return nullptr;
}

int HttpRequestHead::Count(std::string_view name) const {
  return static_cast<int>(std::count_if(headers.begin(), headers.end(),
                                        [name](const HttpHeader& h) { return h.name == name; }));
}

std::string_view HttpRequestHead::Path() const {
  const std::string_view t = target;
  return t.substr(0, t.find('?'));
}

HeadResult ScanRequestHead(std::string_view bytes) {
  HeadResult r;
  // Only as much as the limits allow is looked at.
  const std::string_view window = bytes.substr(0, MaxRequestHeadBytes);
  const std::size_t firstEnd = window.find("\r\n");
  if (firstEnd == std::string_view::npos) {
    r.scan = window.size() > MaxRequestLineBytes ? HeadScan::LineTooLong
             : bytes.size() > MaxRequestHeadBytes ? HeadScan::HeadTooLarge
                                                  : HeadScan::Incomplete;
    return r;
  }
  if (firstEnd > MaxRequestLineBytes) {
    r.scan = HeadScan::LineTooLong;
    return r;
  }
  const std::size_t end = window.find("\r\n\r\n");
  if (end == std::string_view::npos) {
    r.scan = bytes.size() > MaxRequestHeadBytes ? HeadScan::HeadTooLarge : HeadScan::Incomplete;
    // A line that can already be seen to be broken need not wait.
    if (window.find('\0') != std::string_view::npos) r.scan = HeadScan::Malformed;
    return r;
  }
  r.scan = HeadScan::Malformed;
  if (!ParseRequestLine(window.substr(0, firstEnd), r.head)) return r;
  for (std::size_t at = firstEnd + 2; at < end + 2;) {
    const std::size_t eol = window.find("\r\n", at);
    const std::string_view line = window.substr(at, eol - at);
    // Folded lines and bare CR or LF inside a line are refused.
    if (line.empty() || line.front() == ' ' || line.front() == '\t' ||
        line.find_first_of("\r\n") != std::string_view::npos || !ParseHeaderLine(line, r.head))
      return r;
    at = eol + 2;
  }
  r.scan = HeadScan::Complete;
  r.length = end + 4;
  return r;
}

int RefusalStatus(HeadScan scan) {
  switch (scan) {
    case HeadScan::Malformed: return 400;
    case HeadScan::LineTooLong: return 414;
    case HeadScan::HeadTooLarge: return 431;
    default: return 0;
  }
}

namespace {

// The Origin a request carries is the page's own (as the browser or a
// trusted proxy saw the host) or one of those allowed; no Origin is allowed.
bool OriginAllowed(const HttpRequestHead& head, const OriginPolicy& origins) {
  const std::string* origin = head.Find("origin");
  const std::string* hostHeader = head.Find("host");
  if (!origin) return true;
  const std::string host = hostHeader ? *hostHeader : std::string();
  bool allowed = SameOrigin(*origin, "http://" + host);
  if (origins.viaTrustedProxy) {
    const std::string* proto = head.Find("x-forwarded-proto");
    const std::string* fwdHost = head.Find("x-forwarded-host");
    allowed = allowed || SameOrigin(*origin, (proto ? *proto : std::string("http")) + "://" +
                                                 (fwdHost ? *fwdHost : host));
  }
  for (const std::string& a : origins.allowed) allowed = allowed || SameOrigin(*origin, a);
  return allowed;
}

}  // namespace

RequestVerdict JudgeRequest(const HttpRequestHead& head, std::string_view socketPath,
                            const OriginPolicy& origins, std::size_t bodyLimit) {
  RequestVerdict v;
  const std::string* connection = head.Find("connection");
  v.keepAlive = head.minorVersion == 1 && !(connection && ListHas(*connection, "close"));
  const auto refuse = [&v](int status) {
    v.status = status;
    v.keepAlive = false;
    v.upgrade = false;
    return v;
  };
  // Ambiguous framing is how requests are smuggled past a proxy.
  const int lengths = head.Count("content-length");
  const bool chunked = head.Count("transfer-encoding") > 0;
  if (lengths > 1 || (lengths == 1 && chunked)) return refuse(400);
  if (lengths == 1) {
    const std::string& value = *head.Find("content-length");
    if (value.empty() || value.size() > 18 ||
        !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return refuse(400);
    const long long length = std::stoll(value);
    if (length > 0 && static_cast<unsigned long long>(length) > bodyLimit) return refuse(413);
    v.bodyLength = static_cast<std::size_t>(length);
  }
  if (chunked) return refuse(413);
  const int hosts = head.Count("host");
  if (hosts > 1 || (hosts == 0 && head.minorVersion == 1)) return refuse(400);
  // A form sent from a foreign page must not act here.
  if (bodyLimit > 0 && !OriginAllowed(head, origins)) return refuse(403);

  const std::string* upgrade = head.Find("upgrade");
  if (!upgrade || !ListHas(*upgrade, "websocket")) return v;
  if (head.Path() != socketPath || head.method != "GET" || head.minorVersion != 1 ||
      !connection || !ListHas(*connection, "upgrade"))
    return refuse(400);
  const std::string* key = head.Find("sec-websocket-key");
  if (head.Count("sec-websocket-key") != 1 || !IsWebSocketKey(*key)) return refuse(400);
  const std::string* version = head.Find("sec-websocket-version");
  if (!version || *version != "13") return refuse(400);
  if (!OriginAllowed(head, origins)) return refuse(403);
  v.upgrade = true;
  return v;
}

bool SameOrigin(std::string_view a, std::string_view b) {
  const std::string x = WithoutTrailingSlash(a), y = WithoutTrailingSlash(b);
  if (x.empty() || x == "null") return false;
  // An explicit default port names the same origin as none.
  const auto normal = [](std::string s) {
    for (const char* tail : {"http://", "https://"}) {
      const std::string_view t = tail;
      const std::string port = t.size() == 7 ? ":80" : ":443";
      if (s.compare(0, t.size(), t) == 0 && s.size() > port.size() &&
          s.compare(s.size() - port.size(), port.size(), port) == 0)
        s.resize(s.size() - port.size());
    }
    return s;
  };
  return normal(x) == normal(y);
}

std::string ClientAddress(std::string_view peer, const HttpRequestHead& head,
                          const std::vector<std::string>& trustedProxies) {
  const auto trusted = [&](std::string_view a) {
    return std::find(trustedProxies.begin(), trustedProxies.end(), a) != trustedProxies.end();
  };
  std::string address(peer);
  if (!trusted(peer)) return address;
  // Every proxy appends the address it heard from; the nearest one that is
  // not a trusted proxy is the client. Several headers read as one list.
  std::vector<std::string_view> hops;
  for (const HttpHeader& h : head.headers) {
    if (h.name != "x-forwarded-for") continue;
    std::string_view rest = h.value;
    while (true) {
      const std::size_t comma = rest.find(',');
      hops.push_back(Trim(rest.substr(0, comma)));
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
  }
  for (auto it = hops.rbegin(); it != hops.rend(); ++it) {
    if (it->empty() || it->size() > 45) break;  // longer than any IP address
    address = std::string(*it);
    if (!trusted(*it)) break;
  }
  return address;
}

}  // namespace zelbo
