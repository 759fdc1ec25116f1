// The door's answers of the embedded files: each in the most compact form
// the browser accepts (a precompressed copy from ":/webz/"), with a strong
// entity tag, so that a browser that has the file already is answered
// "304 Not Modified" without the bytes. A file asked for by its hashed name
// is kept by the browser for good and not asked for again.
#include <QFile>
#include <QFileInfo>
#include <QResource>

#include "net/qt/pausable_socket.h"
#include "web/content_coding.h"
#include "web/http_response.h"
#include "web/qt/web_door.h"
#include "web/web_assets.h"

namespace zelbo {

namespace {

// ":/web/main.js" in `coding`: ":/webz/main.js.br" and so on.
QString PackedResource(const QString& file, ContentCoding coding) {
  if (coding == ContentCoding::Identity) return file;
  const QString name = file.section(u'/', -1);
  return QStringLiteral(":/webz/") + name +
         (coding == ContentCoding::Brotli ? QStringLiteral(".br") : QStringLiteral(".gz"));
}

}  // namespace

const WebDoor::Body* WebDoor::BodyOf(const QString& resource) {
  auto it = bodies_.find(resource);
  if (it == bodies_.end()) {
    QResource r(resource);
    if (!r.isValid()) return nullptr;
    Body body;
    body.bytes = r.uncompressedData();
    body.tag = StrongEntityTag(std::string_view(body.bytes.constData(), static_cast<std::size_t>(body.bytes.size())));
    it = bodies_.emplace(resource, std::move(body)).first;
  }
  return &it->second;
}

void WebDoor::AnswerFile(PausableSocket* socket, const HttpRequestHead& head, const WebAsset& asset,
                         bool keepAlive) {
  const QString& file = asset.resource;
  const std::string_view cache = asset.hashedName ? CacheForever : CacheRevalidate;
  const std::string* accept = head.Find("accept-encoding");
  const ContentCoding coding =
      ChooseContentCoding(accept ? *accept : std::string(), BodyOf(PackedResource(file, ContentCoding::Gzip)),
                          BodyOf(PackedResource(file, ContentCoding::Brotli)));
  const Body* body = BodyOf(PackedResource(file, coding));
  if (!body) return;
  std::string extra = "ETag: " + body->tag + "\r\nVary: Accept-Encoding\r\n";
  if (coding != ContentCoding::Identity)
    extra += "Content-Encoding: " + std::string(ContentCodingName(coding)) + "\r\n";
  std::string out;
  const std::string* known = head.Find("if-none-match");
  if (known && EntityTagMatches(*known, body->tag)) {
    out = NotModifiedHead(keepAlive, extra, cache);
    socket->write(out.data(), static_cast<qint64>(out.size()));
    return;
  }
  out = ResponseHead(200, WebContentType(file.toStdString()), static_cast<std::size_t>(body->bytes.size()),
                     keepAlive, extra, cache);
  socket->write(out.data(), static_cast<qint64>(out.size()));
  if (head.method == "GET") socket->write(body->bytes);
}

// The records of the last finished game, as a download. Only that one file
// of the table's folder is ever read, and nothing is written.
void WebDoor::AnswerHandRecords(PausableSocket* socket, const HttpRequestHead& head, bool keepAlive) {
  const auto write = [socket](const std::string& s) { socket->write(s.data(), static_cast<qint64>(s.size())); };
  constexpr qint64 MaxRecordsBytes = 4 * 1024 * 1024;
  const std::string path = options_.handRecords ? options_.handRecords() : std::string();
  QFile file(QString::fromStdString(path));
  if (path.empty() || !file.open(QIODevice::ReadOnly) || file.size() > MaxRecordsBytes)
    return write(RefusalAnswer(404, keepAlive));
  if (head.method != "GET" && head.method != "HEAD")
    return write(RefusalAnswer(405, keepAlive, "Allow: GET, HEAD\r\n"));
  const QByteArray bytes = file.read(MaxRecordsBytes);
  const std::string name = QFileInfo(file).fileName().toStdString();
  write(ResponseHead(200, "text/plain; charset=utf-8", static_cast<std::size_t>(bytes.size()), keepAlive,
                     "Content-Disposition: attachment; filename=\"" + name + "\"\r\n"));
  if (head.method == "GET") socket->write(bytes);
}

}  // namespace zelbo
