// SettingsStore on QSettings: native format, user scope, organization
// "Zelbowin" (the registry key HKEY_CURRENT_USER\SOFTWARE\Zelbowin on
// Windows, the platform's settings file elsewhere). Tests point QSettings at
// a temporary folder with QSettings::setPath.
#pragma once

#include <QSettings>
#include <memory>

#include "app/settings_store.h"

namespace zelbo {

class QtSettingsStore : public SettingsStore {
 public:
  // An empty `file` means the user's stored settings; otherwise an ini file.
  explicit QtSettingsStore(const QString& file = QString());
  bool ReadString(const std::string& name, std::string& value) override;
  bool ReadNumber(const std::string& name, uint32_t& value) override;
  std::vector<std::string> ReadStringList(const std::string& name) override;
  void WriteString(const std::string& name, const std::string& value) override;
  void WriteNumber(const std::string& name, uint32_t value) override;

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace zelbo
