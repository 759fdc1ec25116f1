// The web door's reading of an HTTP/1.x request head, with hard limits, and
// the verdicts drawn from it: whether it may be answered at all, whether the
// connection stays open, whether it is a WebSocket upgrade the table takes,
// and who sent it. Pure: bytes in, verdicts out, so a fuzzer can drive it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelbo {

// Longest request line (the answer is 414) and whole head (431).
constexpr std::size_t MaxRequestLineBytes = 8 * 1024;
constexpr std::size_t MaxRequestHeadBytes = 16 * 1024;

struct HttpHeader {
  std::string name;   // lower case
  std::string value;  // without the white space around it
};

struct HttpRequestHead {
  std::string method;
  std::string target;    // as sent, origin form ("/path?query")
  int minorVersion = 1;  // HTTP/1.0 or HTTP/1.1
  std::vector<HttpHeader> headers;

  // The value of the first header named `name` (lower case), or nullptr.
  const std::string* Find(std::string_view name) const;
  int Count(std::string_view name) const;
  // The target's path, without a query.
  std::string_view Path() const;
};

enum class HeadScan {
  Incomplete,    // no blank line yet, and within the limits
  Complete,      // `head` and `length` are set
  Malformed,     // 400
  LineTooLong,   // 414
  HeadTooLarge,  // 431
};

struct HeadResult {
  HeadScan scan = HeadScan::Incomplete;
  std::size_t length = 0;  // bytes of the head, the blank line included
  HttpRequestHead head;
};

// Reads the head at the start of `bytes`. Lines end in CRLF; a line folded
// onto the next, a control byte, a header without a name or a target that is
// not an absolute path is malformed.
HeadResult ScanRequestHead(std::string_view bytes);

// The status code that refuses a scan result (400, 414 or 431), 0 for one
// that is complete.
int RefusalStatus(HeadScan scan);

// What the door does with a complete head.
struct RequestVerdict {
  int status = 0;         // a refusal to answer with, 0 for none
  std::size_t bodyLength = 0;  // the body that follows the head
  bool upgrade = false;   // a WebSocket upgrade to hand to the table
  bool keepAlive = true;  // the connection stays open after the answer
};

// Where a request may come from: the page's own origin as the browser saw it
// (the Host it asked, or the public name a trusted proxy forwards), and the
// origins named on the command line.
struct OriginPolicy {
  std::vector<std::string> allowed;  // "https://cards.example.org", as given
  bool viaTrustedProxy = false;      // the peer is a proxy whose headers count
};

// A body longer than `bodyLimit` is refused (413), and so is one sent in
// chunks; only a request that may carry a body (a form posted to the API)
// has a limit above 0, and its Origin must be allowed (403). Two Content-Length
// headers, or one with Transfer-Encoding, or an unreadable length are 400.
// An upgrade ("Upgrade: websocket") must be a GET of `socketPath` with a
// Sec-WebSocket-Key of 16 bytes in base64 and version 13 (400), and an Origin it carries
// must be allowed (403). HTTP/1.0 and "Connection: close" do not keep the
// connection; a refusal never does.
RequestVerdict JudgeRequest(const HttpRequestHead& head, std::string_view socketPath,
                            const OriginPolicy& origins, std::size_t bodyLimit = 0);

// Same scheme, host and port, ignoring case and a trailing slash.
bool SameOrigin(std::string_view a, std::string_view b);

// The client's address: the peer's own, or, when the peer is a trusted
// proxy, the nearest address in X-Forwarded-For that is not one.
std::string ClientAddress(std::string_view peer, const HttpRequestHead& head,
                          const std::vector<std::string>& trustedProxies);

}  // namespace zelbo
