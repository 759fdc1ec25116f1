#include "app/setup_model.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace zelbo {

std::vector<std::string> ParseServerList(std::string_view fileText) {
  constexpr std::size_t MaxLine = 1023;
  std::vector<std::string> entries;
  std::size_t pos = 0;
  while (pos < fileText.size()) {
    std::size_t end = fileText.find('\n', pos);
    if (end == std::string_view::npos) end = fileText.size();
    std::string_view line = fileText.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // files made on Windows
    if (line.size() > MaxLine) line = line.substr(0, MaxLine);
    std::size_t first = 0;
    while (first < line.size() && std::isspace(static_cast<unsigned char>(line[first]))) ++first;
    line.remove_prefix(first);
    if (line.empty() || !std::isdigit(static_cast<unsigned char>(line[0]))) continue;
    if (line.find('.') == std::string_view::npos) continue;
    entries.emplace_back(line);
  }
  return entries;
}

std::vector<std::string> ReadServerListFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return ParseServerList(text.str());
}

SetupFields OpenSetupFields(const Settings& s, ProcessRole role,
                            const std::vector<std::string>& fileEntries, SettingsStore& store) {
  SetupFields f;
  f.address = s.serverAddress;
  f.addressList = fileEntries;
  f.port = std::to_string(static_cast<uint32_t>(s.port));
  f.handle = s.handle;
  f.seed = std::to_string(s.randomSeed);
  f.red = std::to_string(static_cast<uint32_t>(s.backgroundRed));
  f.green = std::to_string(static_cast<uint32_t>(s.backgroundGreen));
  f.blue = std::to_string(static_cast<uint32_t>(s.backgroundBlue));
  f.spacing = std::to_string(static_cast<uint32_t>(s.cardSpacing));

  if (role.isClient) {
    f.client = true;
  } else if (role.isServer) {
    f.server = true;
  } else {
    f.client = s.startMode == StartModeClient;
    f.server = s.startMode == StartModeServer;
  }

  if (!role.HasRole()) {
    std::string text;
    if (s.handle.empty() && store.ReadString(ValueHandle, text)) f.handle = text;
    if (s.serverAddress.empty() && store.ReadString(ValueLastIp, text)) f.address = text;
    uint32_t n = 0;
    if (store.ReadNumber(ValueBackgroundRed, n)) f.red = std::to_string(n);
    if (store.ReadNumber(ValueBackgroundGreen, n)) f.green = std::to_string(n);
    if (store.ReadNumber(ValueBackgroundBlue, n)) f.blue = std::to_string(n);
    if (store.ReadNumber(ValueCardSpacing, n)) f.spacing = std::to_string(n);
  }

  for (std::string& entry : store.ReadStringList(ValueServerIp)) {
    f.addressList.push_back(std::move(entry));
  }
  return f;
}

uint32_t ReadUnsignedField(std::string_view text, bool* ok) {
  if (ok) *ok = false;
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  if (text.empty()) return 0;
  uint64_t value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > 0xFFFFFFFFull) return 0;
  }
  if (ok) *ok = true;
  return static_cast<uint32_t>(value);
}

SetupOutcome AcceptSetup(const SetupFields& f, Settings& s, ProcessRole role,
                         SettingsStore& store) {
  SetupOutcome out;

  // The address as typed or chosen, without the words after it.
  std::string address = CutUtf8(f.address, MaxServerAddress - 1);
  if (std::size_t space = address.find(' '); space != std::string::npos) address.resize(space);
  s.serverAddress = address;
  store.WriteString(ValueLastIp, address);

  bool portOk = false;
  uint32_t port = ReadUnsignedField(f.port, &portOk);
  if (portOk && port >= 1 && port <= 65535) {
    s.port = static_cast<int32_t>(port);
  } else {
    out.portRejected = true;
  }

  std::string handle = CutUtf8(f.handle, MaxHandleLength - 1);
  if (handle.empty()) out.handleMissing = true;
  if (out.portRejected || out.handleMissing) return out;

  s.handle = handle;
  if (handle != NonplayingServerHandle) store.WriteString(ValueHandle, handle);
  s.randomSeed = ReadUnsignedField(f.seed);

  if (!role.HasRole()) {
    if (f.client) {
      out.start = StartRole::Client;
    } else if (f.server) {
      out.start = StartRole::Server;
    }
  }

  s.privileged = IsPrivilegedHandle(handle);

  auto colour = [](const std::string& text) {
    uint32_t v = ReadUnsignedField(text);
    return static_cast<int32_t>(v > 255 ? 255 : v);
  };
  s.backgroundRed = colour(f.red);
  s.backgroundGreen = colour(f.green);
  s.backgroundBlue = colour(f.blue);
  store.WriteNumber(ValueBackgroundRed, static_cast<uint32_t>(s.backgroundRed));
  store.WriteNumber(ValueBackgroundGreen, static_cast<uint32_t>(s.backgroundGreen));
  store.WriteNumber(ValueBackgroundBlue, static_cast<uint32_t>(s.backgroundBlue));

  uint32_t spacing = ReadUnsignedField(f.spacing);
  s.cardSpacing = BoundCardSpacing(spacing);
  store.WriteNumber(ValueCardSpacing, static_cast<uint32_t>(s.cardSpacing));

  out.close = true;
  return out;
}

}  // namespace zelbo
