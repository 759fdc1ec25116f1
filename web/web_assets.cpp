#include "web/web_assets.h"

#include <QDir>
#include <QFile>
#include <QHash>

namespace zelbo {

namespace {

const QString ResourceFolder = QStringLiteral(":/web/");

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// The build's table of hashed names, "plain hashed" per line, both ways.
struct HashedNames {
  QHash<QString, QString> plainOf;   // "main.0123456789.js" -> "main.js"
  QHash<QString, QString> hashedOf;  // "main.js" -> "main.0123456789.js"
};

const HashedNames& TheHashedNames() {
  static const HashedNames names = [] {
    HashedNames n;
    QFile table(QStringLiteral(":/webhash/asset-names"));
    if (!table.open(QIODevice::ReadOnly)) return n;
    for (const QByteArray& line : table.readAll().split('\n')) {
      const QList<QByteArray> pair = line.split(' ');
      if (pair.size() != 2) continue;
      n.plainOf.insert(QString::fromUtf8(pair[1]), QString::fromUtf8(pair[0]));
      n.hashedOf.insert(QString::fromUtf8(pair[0]), QString::fromUtf8(pair[1]));
    }
    return n;
  }();
  return names;
}

}  // namespace

WebAsset FindWebAsset(const QString& requestPath) {
  QString name = requestPath;
  if (name.startsWith(u'/')) name.remove(0, 1);
  if (name.isEmpty()) name = QStringLiteral("index.html");
  if (name.contains(u'/') || name.contains(u'\\') || name.startsWith(u'.')) return {};
  const HashedNames& names = TheHashedNames();
  if (const auto plain = names.plainOf.find(name); plain != names.plainOf.end())
    return {ResourceFolder + *plain, true};
  // A hashed file's plain name is stale: its content may have changed.
  if (names.hashedOf.contains(name)) return {};
  const QString file = ResourceFolder + name;
  return {QFile::exists(file) ? file : QString(), false};
}

QString WebAssetFor(const QString& requestPath) { return FindWebAsset(requestPath).resource; }

QStringList WebAssetNames() {
  const HashedNames& names = TheHashedNames();
  QStringList served;
  for (const QString& file : QDir(ResourceFolder).entryList(QDir::Files, QDir::Name))
    served.append(names.hashedOf.value(file, file));
  served.sort();
  return served;
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
