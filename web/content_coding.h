// How the web door picks the form of a file to send: precompressed with
// Brotli or gzip when the browser accepts it and the program carries that
// form, and whether the browser's copy (its If-None-Match) is still good.
// Pure, so the HTTP head fuzzer's neighbours can test it without sockets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelbo {

enum class ContentCoding { Identity, Gzip, Brotli };

// The best coding that `acceptEncoding` (the header's value, "" when
// absent) allows among those present: Brotli before gzip; a coding listed
// with q=0 is refused.
ContentCoding ChooseContentCoding(std::string_view acceptEncoding, bool haveGzip, bool haveBrotli);

// "gzip", "br", or "" for Identity.
std::string_view ContentCodingName(ContentCoding coding);

// A strong entity tag for a file's bytes: a quoted 64-bit hash in hex.
std::string StrongEntityTag(std::string_view bytes);

// True when an If-None-Match value names `tag` (or is "*").
bool EntityTagMatches(std::string_view ifNoneMatch, std::string_view tag);

}  // namespace zelbo
