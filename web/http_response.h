// The head of every answer the web door writes: the status line, the
// headers every answer carries (no sniffing of types, a policy that lets
// the page run only its own scripts, WebAssembly and WebSocket, never in a
// frame, and no referrer), then the answer's own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelbo {

// "Not Found" for 404, and so on for the codes the door uses.
std::string_view StatusText(int status);

// How long a browser may keep an answer: by default it asks again each
// time (and may be told its copy is still good); a file whose name carries a
// hash of its content is kept for good; API answers are not kept at all.
inline constexpr std::string_view CacheRevalidate = "no-cache";
inline constexpr std::string_view CacheForever = "public, max-age=31536000, immutable";
inline constexpr std::string_view CacheNever = "no-store";

// A complete head for an answer with a body of `contentLength` bytes of
// `contentType`. `keepAlive` false adds "Connection: close". `extra` is
// further header lines, each ending in CRLF.
std::string ResponseHead(int status, std::string_view contentType, std::size_t contentLength,
                         bool keepAlive, std::string_view extra = {},
                         std::string_view cacheControl = CacheRevalidate);

// "304 Not Modified": the browser's copy, named by `extra`'s ETag, is
// still good; no body follows.
std::string NotModifiedHead(bool keepAlive, std::string_view extra = {},
                            std::string_view cacheControl = CacheRevalidate);

// A refusal: a short text body saying the status.
std::string RefusalAnswer(int status, bool keepAlive, std::string_view extra = {});

}  // namespace zelbo
