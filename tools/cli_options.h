// The command-line walk shared by the stand-alone programs: switches that
// stand alone, options that take the next argument, and whole numbers.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace zelbo {

// Walks `args` in order. Names in `switches` stand alone; names in `valued`
// take the next argument. `take(name, value)` handles each (value empty for
// a switch) and returns an error message, or "" when it accepts. Unknown
// names and missing values are refused here. On a refusal returns false
// with `error` set.
bool ParseOptionList(const std::vector<std::string>& args,
                     std::initializer_list<const char*> switches,
                     std::initializer_list<const char*> valued,
                     const std::function<std::string(const std::string& name,
                                                     const std::string& value)>& take,
                     std::string& error);

// A decimal whole number from 0 to `max`, without sign; false otherwise.
bool ParseNumber(const std::string& text, unsigned long max, unsigned long& out);

}  // namespace zelbo
