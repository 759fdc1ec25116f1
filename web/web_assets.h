// The browser client's files as the program carries them: compiled in as
// resources under ":/web/", looked up by the name a request asks for.
//
// The build gives every file but the pages, the manifest and favicon.ico a
// name that carries a hash of its content ("main.0123456789.js"), and the
// pages name them so; such a file is served under its hashed name only, and
// may be kept by a browser for good, since other content gets another name.
#pragma once

#include <QString>
#include <QStringList>

#include <string_view>

namespace zelbo {

struct WebAsset {
  QString resource;         // ":/web/main.js"; empty when the path names no file
  bool hashedName = false;  // asked for by its hashed name: never changes
};

// The file a request path names ("/" is "/index.html"). Only the served
// names of the embedded files match, so no path reaches anything else.
WebAsset FindWebAsset(const QString& requestPath);

// FindWebAsset(requestPath).resource.
QString WebAssetFor(const QString& requestPath);

// The names under which the embedded files are served, sorted.
QStringList WebAssetNames();

// The MIME type a file is served with, from its name.
const char* WebContentType(std::string_view fileName);

}  // namespace zelbo
