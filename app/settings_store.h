// Where settings persist between runs. The Setup logic talks to this small
// interface; the desktop program gives it QSettings, tests may give it
// QSettings redirected to a temporary folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelbo {

// Value names of the stored settings.
inline constexpr const char* ValueHandle = "Handle";
inline constexpr const char* ValueLastIp = "Last IP";
inline constexpr const char* ValueBackgroundRed = "Background red";
inline constexpr const char* ValueBackgroundGreen = "Background green";
inline constexpr const char* ValueBackgroundBlue = "Background blue";
inline constexpr const char* ValueCardSpacing = "Card spacing";
inline constexpr const char* ValueServerIp = "Server IP";      // read only
inline constexpr const char* ValueCardPictures = "Card pictures";  // read only
inline constexpr const char* ValueRobotLevel = "Robot level";  // easy, normal or strong

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // True when the value exists as text; `value` is cut to 1023 bytes.
  virtual bool ReadString(const std::string& name, std::string& value) = 0;
  // True when the value exists as an unsigned 32-bit number.
  virtual bool ReadNumber(const std::string& name, uint32_t& value) = 0;
  // The strings of a list value; empty when it is missing.
  virtual std::vector<std::string> ReadStringList(const std::string& name) = 0;
  // Failures to write are ignored.
  virtual void WriteString(const std::string& name, const std::string& value) = 0;
  virtual void WriteNumber(const std::string& name, uint32_t value) = 0;
};

}  // namespace zelbo
