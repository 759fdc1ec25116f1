// The browser client's files as the program carries them: compiled in as
// resources under ":/web/", looked up by the plain name a request asks for.
#pragma once

#include <QString>

#include <string_view>

namespace zelbo {

// The resource a request path names ("/" is "/index.html"), or an empty
// string when it names none. Only the plain names of the embedded files
// match, so no path reaches anything else.
QString WebAssetFor(const QString& requestPath);

// The names of all embedded files, sorted.
QStringList WebAssetNames();

// The MIME type a file is served with, from its name.
const char* WebContentType(std::string_view fileName);

}  // namespace zelbo
