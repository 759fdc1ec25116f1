// A club table's link, as friends pass it on: "http://HOST:PORT/t/ID/"
// (or https). A desktop client given one connects to the table's
// WebSocket beside it; an address without a scheme is a plain TCP server.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelbo {

// True when `address` is meant as a link (it starts with a scheme).
bool IsTableLink(std::string_view address);

// The WebSocket URL of the table a link names: "ws://HOST:PORT/t/ID/ws"
// ("wss://" for https), or nullopt for a link of another shape.
std::optional<std::string> TableSocketUrl(std::string_view link);

}  // namespace zelbo
