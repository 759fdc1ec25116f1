// libFuzzer target: the web door's reading of request heads. Any bytes are
// scanned; a complete head is judged and its client address taken, and
// nothing may read past the limits or the input. The bytes after the head
// are read as the API's form.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "web/http_request.h"
#include "web/lobby_api.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelbo;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const HeadResult r = ScanRequestHead(bytes);
  if (r.scan != HeadScan::Complete) return 0;
  if (r.length > MaxRequestHeadBytes || r.length > size) __builtin_trap();
  const std::size_t limit = size % 3 == 0 ? MaxApiBodyBytes : 0;
  const RequestVerdict v = JudgeRequest(r.head, "/ws", {{"https://cards.example.org"}, size % 2 == 0}, limit);
  if (v.status != 0 && (v.upgrade || v.keepAlive)) __builtin_trap();
  if (v.bodyLength > limit) __builtin_trap();
  (void)ClassifySitePath(r.head.Path(), size % 2 == 0);
  // What follows the head, read as the API's form.
  std::string error;
  if (const auto form = ParseNewTableRequest(bytes.substr(r.length), error))
    (void)JsonQuote(form->name);
  (void)ClientAddress("10.0.0.1", r.head, {"10.0.0.1"});
  return 0;
}
