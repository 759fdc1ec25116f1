#include "web/web_assets.h"

#include <QDir>
#include <QFile>

namespace zelbo {

namespace {

const QString ResourceFolder = QStringLiteral(":/web/");

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

}  // namespace

QString WebAssetFor(const QString& requestPath) {
  QString name = requestPath;
  if (name.startsWith(u'/')) name.remove(0, 1);
  if (name.isEmpty()) name = QStringLiteral("index.html");
  if (name.contains(u'/') || name.contains(u'\\') || name.startsWith(u'.')) return {};
  const QString file = ResourceFolder + name;
  return QFile::exists(file) ? file : QString();
}

QStringList WebAssetNames() {
  QStringList names = QDir(ResourceFolder).entryList(QDir::Files, QDir::Name);
  return names;
}

const char* WebContentType(std::string_view fileName) {
  if (EndsWith(fileName, ".html")) return "text/html; charset=utf-8";
  if (EndsWith(fileName, ".js") || EndsWith(fileName, ".mjs"))
    return "text/javascript; charset=utf-8";
  if (EndsWith(fileName, ".css")) return "text/css; charset=utf-8";
  if (EndsWith(fileName, ".wasm")) return "application/wasm";
  if (EndsWith(fileName, ".svg")) return "image/svg+xml";
  if (EndsWith(fileName, ".png")) return "image/png";
  if (EndsWith(fileName, ".json")) return "application/json";
  if (EndsWith(fileName, ".webmanifest")) return "application/manifest+json";
  return "application/octet-stream";
}

}  // namespace zelbo
