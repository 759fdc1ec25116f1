// The Setup dialog without its widgets: how the fields are filled when it
// opens (live settings, stored settings, the server address list) and what
// OK does with them (store, check, choose the role to start).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "app/settings_store.h"

namespace zelbo {

inline constexpr const char* ServerListFile = "zelbo_iplist.txt";

// What the Setup dialog's controls hold.
struct SetupFields {
  bool client = false;
  bool server = false;
  std::string address;                   // the editable address field
  std::vector<std::string> addressList;  // the drop-down entries
  std::string port;
  std::string handle;
  std::string seed;
  std::string red, green, blue;
  std::string spacing;
};

// The role the process already has.
struct ProcessRole {
  bool isServer = false;
  bool isClient = false;
  bool HasRole() const { return isServer || isClient; }
};

// Lines of the address list file that name a server: after leading white
// space, a line must begin with a decimal digit and contain a full stop; it
// is offered whole (words after the address included).
std::vector<std::string> ParseServerList(std::string_view fileText);
// Reads and parses the file; a file that cannot be opened gives no entries.
std::vector<std::string> ReadServerListFile(const std::string& path);

// The fields when the dialog opens. Stored values fill them only while the
// process has no role yet; afterwards the dialog shows the live settings.
SetupFields OpenSetupFields(const Settings& settings, ProcessRole role,
                            const std::vector<std::string>& fileEntries,
                            SettingsStore& store);

// A field read as an unsigned decimal number: 0 unless the whole text (after
// leading and trailing blanks) is digits that fit in 32 bits. `ok` tells
// whether it was a number.
uint32_t ReadUnsignedField(std::string_view text, bool* ok = nullptr);

enum class StartRole { None, Client, Server };

struct SetupOutcome {
  bool close = false;         // OK took effect; the dialog closes
  bool portRejected = false;  // port outside 1..65535: note beside the field
  bool handleMissing = false; // empty handle: note beside the field
  StartRole start = StartRole::None;
};

// OK: stores the settings and says which role to start. A process that
// already has a role starts no other one.
SetupOutcome AcceptSetup(const SetupFields& fields, Settings& settings, ProcessRole role,
                         SettingsStore& store);

}  // namespace zelbo
