#include <fstream>

#include "app/setup_model.h"
#include "app_test_support.h"

namespace zelbo {
namespace {

using Texts = std::vector<std::string>;

// Every test gets its own settings folder, so nothing of the user's is touched.
class Setup : public ::testing::Test {
 protected:
  // OK on the fields the dialog opens with (no role yet), `handle` typed, `change` applied.
  SetupOutcome Ok(const std::string& handle, const std::function<void(SetupFields&)>& change = {}) {
    SetupFields f = OpenSetupFields(s_, {}, {}, store_);
    f.handle = handle;
    if (change) change(f);
    return AcceptSetup(f, s_, {}, store_);
  }
  std::string Stored(const char* name) {
    std::string value = "(none)";
    store_.ReadString(name, value);
    return value;
  }

  testing::TempSettings dir_;
  QtSettingsStore store_;
  Settings s_;
};

TEST_F(Setup, FirstStartThenOkStoresWhatTheNextStartShows) {
  SetupFields f = OpenSetupFields(s_, {}, {}, store_);
  EXPECT_EQ((Texts{f.port, f.seed, f.red, f.green, f.blue, f.spacing, f.handle, f.address}),
            (Texts{"2118", "0", "230", "230", "230", "16", "", ""}));
  EXPECT_FALSE(f.client || f.server || !f.addressList.empty());
  // Colours capped at 255, text as 0; spacing 0 stacks the cards.
  SetupOutcome out = Ok("Ann", [](SetupFields& g) {
    g.address = "10.1.1.1";
    g.red = "300", g.green = "abc", g.blue = "12", g.spacing = "0", g.seed = "77";
  });
  ASSERT_TRUE(out.close && out.start == StartRole::None);
  EXPECT_EQ(std::vector<int>({s_.backgroundRed, s_.backgroundGreen, s_.backgroundBlue,
                              s_.cardSpacing, static_cast<int>(s_.randomSeed)}),
            std::vector<int>({255, 0, 12, 0, 77}));
  Settings fresh;
  fresh.startMode = StartModeServer;
  QtSettingsStore next;
  f = OpenSetupFields(fresh, {}, {}, next);
  EXPECT_EQ((Texts{f.handle, f.address, f.red, f.green, f.blue, f.spacing, f.seed}),
            (Texts{"Ann", "10.1.1.1", "255", "0", "12", "0", "0"}))
      << "the seed is not stored";
  EXPECT_TRUE(f.server && !f.client) << "the start mode preselects its box";
}

TEST_F(Setup, AddressListFromTheFileAndTheStoredServers) {
  // Offered: lines starting with a digit (after blanks) that hold a full stop, also the last.
  const std::string file = dir_.file(ServerListFile);
  std::ofstream(file) << "  10.0.0.2 club room\nexample.org\n2118\n\n\t192.168.1.7\r\n1.2";
  EXPECT_TRUE(ReadServerListFile(dir_.file("missing.txt")).empty());
  QSettings(QSettings::NativeFormat, QSettings::UserScope, "Zelbowin", QString())
      .setValue("Server IP", QStringList{"host.example", "10.9.9.9"});
  const SetupFields f = OpenSetupFields(s_, {}, ReadServerListFile(file), store_);
  EXPECT_EQ(f.addressList, (Texts{"10.0.0.2 club room", "192.168.1.7", "1.2", "host.example",
                                  "10.9.9.9"}));
  // A chosen entry keeps only the address.
  const auto choose = [&](SetupFields& g) { g.address = f.addressList[0], g.client = true; };
  EXPECT_EQ(Ok("Ann", choose).start, StartRole::Client);
  EXPECT_EQ(s_.serverAddress + " " + Stored(ValueLastIp), "10.0.0.2 10.0.0.2");
}

TEST_F(Setup, BadPortOrEmptyHandleKeepsTheDialogOpen) {
  for (const char* bad : {"0", "65536", "abc", "", "99999999999"}) {
    SetupOutcome out = Ok("Ann", [&](SetupFields& f) { f.server = true, f.port = bad; });
    EXPECT_TRUE(!out.close && out.portRejected && out.start == StartRole::None) << bad;
    EXPECT_EQ(s_.port, InitialPort) << bad;
  }
  EXPECT_TRUE(Ok("Ann", [](SetupFields& f) { f.port = "65535"; }).close && s_.port == 65535);
  // An empty handle is not stored, but the address and port are.
  SetupOutcome out = Ok("", [](SetupFields& f) { f.address = "10.0.0.9", f.port = "3000"; });
  EXPECT_TRUE(!out.close && out.handleMissing && s_.port == 3000);
  EXPECT_EQ(Stored(ValueLastIp) + " " + Stored(ValueHandle), "10.0.0.9 Ann");
}

TEST_F(Setup, HandleRolesAndBounds) {
  const std::string h30(30, 'h');
  EXPECT_TRUE(Ok(std::string(35, 'h')).close && s_.handle == h30);
  EXPECT_TRUE(Ok("nonplaying server").close && Stored(ValueHandle) == h30) << "not stored";
  EXPECT_TRUE(Ok("Nonplaying Server").close && Stored(ValueHandle) == "Nonplaying Server");
  for (auto [handle, privileged] : {std::pair{"PlOmK", true}, std::pair{"plomkx", false}})
    EXPECT_TRUE(Ok(handle).close && s_.privileged == privileged) << handle;
  EXPECT_EQ(Ok("Ann", [](SetupFields& f) { f.client = f.server = true; }).start, StartRole::Client);
  EXPECT_EQ(Ok("Ann", [](SetupFields& f) { f.server = true; }).start, StartRole::Server);
  EXPECT_TRUE(Ok("Ann", [](SetupFields& f) { f.spacing = "4000000000"; }).close &&
              s_.cardSpacing == MaxCardSpacing);
  // Once the process has a role the live settings win over the stored ones.
  store_.WriteNumber(ValueCardSpacing, 40);
  s_.cardSpacing = 20;
  SetupFields f = OpenSetupFields(s_, {false, true}, {}, store_);
  EXPECT_TRUE(f.spacing == "20" && f.handle == "Ann" && f.client && !f.server);
  EXPECT_EQ(AcceptSetup(f, s_, {false, true}, store_).start, StartRole::None) << "no second client";
}

TEST(SettingsFile, NamedFileKeepsItsValuesAndTextIsNoNumber) {
  QTemporaryDir dir;
  QtSettingsStore(dir.filePath("zelbo.ini")).WriteNumber(ValueCardSpacing, 24);
  QtSettingsStore store(dir.filePath("zelbo.ini"));
  uint32_t spacing = 0;
  store.WriteString(ValueHandle, "Ann");
  EXPECT_TRUE(store.ReadNumber(ValueCardSpacing, spacing) && spacing == 24u);
  EXPECT_FALSE(store.ReadNumber(ValueHandle, spacing)) << "text is not a number";
}

}  // namespace
}  // namespace zelbo
