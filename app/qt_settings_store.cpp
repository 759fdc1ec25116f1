#include "app/qt_settings_store.h"

#include <QStringList>

#include "app/settings.h"

namespace zelbo {

// On Windows the values sit directly under HKEY_CURRENT_USER\SOFTWARE\Zelbowin
// (an organization-wide QSettings would add a subkey there). Elsewhere the
// organization-wide file of the user, e.g. ~/.config/Zelbowin.conf.
namespace {

std::unique_ptr<QSettings> OpenSettings(const QString& file) {
  if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
#ifdef Q_OS_WIN
  return std::make_unique<QSettings>("HKEY_CURRENT_USER\\SOFTWARE\\Zelbowin",
                                     QSettings::NativeFormat);
#else
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Zelbowin",
                                     QString());
#endif
}

}  // namespace

QtSettingsStore::QtSettingsStore(const QString& file) : settings_(OpenSettings(file)) {}

bool QtSettingsStore::ReadString(const std::string& name, std::string& value) {
  QVariant v = settings_->value(QString::fromStdString(name));
  if (v.typeId() != QMetaType::QString) return false;
  value = CutUtf8(v.toString().toStdString(), 1023);
  return true;
}

bool QtSettingsStore::ReadNumber(const std::string& name, uint32_t& value) {
  QVariant v = settings_->value(QString::fromStdString(name));
  if (!v.isValid()) return false;
  bool ok = false;
  // The registry hands back a number; text-based formats hand back text.
  qulonglong n = v.typeId() == QMetaType::QString ? v.toString().trimmed().toULongLong(&ok)
                                                  : v.toULongLong(&ok);
  if (!ok || n > 0xFFFFFFFFull) return false;
  value = static_cast<uint32_t>(n);
  return true;
}

std::vector<std::string> QtSettingsStore::ReadStringList(const std::string& name) {
  QVariant v = settings_->value(QString::fromStdString(name));
  std::vector<std::string> out;
  if (v.typeId() == QMetaType::QStringList) {
    for (const QString& s : v.toStringList()) out.push_back(CutUtf8(s.toStdString(), 1023));
  } else if (v.typeId() == QMetaType::QString) {
    // A list of one string reads back as a plain string in text formats.
    out.push_back(CutUtf8(v.toString().toStdString(), 1023));
  }
  return out;
}

void QtSettingsStore::WriteString(const std::string& name, const std::string& value) {
  settings_->setValue(QString::fromStdString(name), QString::fromStdString(value));
  settings_->sync();
}

void QtSettingsStore::WriteNumber(const std::string& name, uint32_t value) {
  settings_->setValue(QString::fromStdString(name), static_cast<uint>(value));
  settings_->sync();
}

}  // namespace zelbo
