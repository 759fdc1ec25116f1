// The command-line walk shared by the stand-alone programs: switches that
// stand alone, options that take the next argument, and whole numbers.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace zelbo {

// Walks `args` in order. Names in `switches` stand alone; names in `valued`
// take the next argument. `take(name, value, error)` handles each (value
// empty for a switch) and returns false with `error` set when it refuses.
// Unknown names and missing values are refused here. On a refusal returns
// false with `error` set.
bool ParseOptionList(const std::vector<std::string>& args,
                     std::initializer_list<const char*> switches,
                     std::initializer_list<const char*> valued,
                     const std::function<bool(const std::string& name, const std::string& value,
                                              std::string& error)>& take,
                     std::string& error);

// A refusal in one statement: sets `error` to `text` and returns false.
inline bool Refuse(std::string& error, std::string text) {
  error = std::move(text);
  return false;
}

// A decimal whole number from 0 to `max`, without sign; false otherwise.
bool ParseNumber(const std::string& text, unsigned long max, unsigned long& out);

}  // namespace zelbo
