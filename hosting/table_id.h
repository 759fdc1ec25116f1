// Table ids of a club server: 128 bits from the system's secure random
// source, written as 26 letters and digits of base32 (RFC 4648's alphabet
// in lower case, without padding). An id is the table's address and, for a
// private table, its invitation, so it must not be guessable.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelbo {

// The house table's id: it always exists and is what the TCP port reaches.
inline constexpr std::string_view HouseTableId = "main";
inline constexpr std::size_t TableIdLength = 26;

// The base32 text of 16 bytes.
std::string TableIdText(const std::array<uint8_t, 16>& bytes);
// A fresh id from getrandom(2); "" when the system gives no random bytes.
std::string NewTableId();
// `text` is the house id or 26 characters of the id alphabet: the only
// names that may become a folder name or a route.
bool IsTableId(std::string_view text);

}  // namespace zelbo
