// Pages a web door serves beside the browser client's files: a set of
// paths that something else answers (the archive's lists and games). The
// door asks it first for every GET and HEAD; nullopt leaves the path to
// the door's own files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelbo {

struct PageAnswer {
  int status = 200;          // a status other than 200 is answered as the door's refusal
  std::string contentType;
  std::string body;
  std::string extraHeaders;  // further header lines, each ending in CRLF
};

class PageRoutes {
 public:
  virtual ~PageRoutes() = default;
  // `target` is the request's target, its query included.
  virtual std::optional<PageAnswer> Answer(std::string_view target) = 0;
};

}  // namespace zelbo
