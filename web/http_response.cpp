#include "web/http_response.h"

namespace zelbo {

std::string_view StatusText(int status) {
  switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 413: return "Content Too Large";
    case 414: return "URI Too Long";
    case 429: return "Too Many Requests";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Error";
  }
}

std::string ResponseHead(int status, std::string_view contentType, std::size_t contentLength,
                         bool keepAlive, std::string_view extra, std::string_view cacheControl) {
  std::string h = "HTTP/1.1 " + std::to_string(status) + " " + std::string(StatusText(status)) + "\r\n";
  h += "Content-Type: ";
  h += contentType;
  h += "\r\nContent-Length: " + std::to_string(contentLength) + "\r\n";
  h += "X-Content-Type-Options: nosniff\r\n"
       "Content-Security-Policy: default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; "
       "connect-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'none'\r\n"
       "Referrer-Policy: no-referrer\r\n"
       "Cache-Control: ";
  h += cacheControl;
  h += "\r\n";
  if (!keepAlive) h += "Connection: close\r\n";
  h += extra;
  h += "\r\n";
  return h;
}

std::string NotModifiedHead(bool keepAlive, std::string_view extra, std::string_view cacheControl) {
  std::string h = "HTTP/1.1 304 Not Modified\r\nCache-Control: ";
  h += cacheControl;
  h += "\r\n";
  if (!keepAlive) h += "Connection: close\r\n";
  h += extra;
  h += "\r\n";
  return h;
}

std::string RefusalAnswer(int status, bool keepAlive, std::string_view extra) {
  const std::string body = std::to_string(status) + " " + std::string(StatusText(status)) + "\n";
  return ResponseHead(status, "text/plain; charset=utf-8", body.size(), keepAlive, extra) + body;
}

}  // namespace zelbo
