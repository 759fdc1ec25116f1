#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <fstream>

#include "app/qt_settings_store.h"
#include "app/setup_model.h"

namespace zelbo {
namespace {

// Every test gets its own settings folder, so nothing of the user's is read
// or written.
class Setup : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
  }
  std::string Path(const char* name) const { return QDir(dir_.path()).filePath(name).toStdString(); }

  QTemporaryDir dir_;
};

TEST_F(Setup, FirstStartShowsInitialValues) {
  QtSettingsStore store;
  Settings s;
  SetupFields f = OpenSetupFields(s, {}, {}, store);
  EXPECT_EQ(f.port, "2118");
  EXPECT_EQ(f.seed, "0");
  EXPECT_EQ(f.red, "230");
  EXPECT_EQ(f.green, "230");
  EXPECT_EQ(f.blue, "230");
  EXPECT_EQ(f.spacing, "16");
  EXPECT_FALSE(f.client);
  EXPECT_FALSE(f.server);
  EXPECT_EQ(f.handle, "");
  EXPECT_EQ(f.address, "");
  EXPECT_TRUE(f.addressList.empty());
}

TEST_F(Setup, AddressListFileRules) {
  std::string file = Path("zelbo_iplist.txt");
  {
    std::ofstream out(file);
    out << "  10.0.0.2 club room\n"
        << "example.org\n"   // a host name: not offered
        << "2118\n"           // no full stop
        << "\n"
        << "\t192.168.1.7\r\n"
        << "1.2";             // last line without line feed
  }
  auto entries = ReadServerListFile(file);
  EXPECT_EQ(entries, (std::vector<std::string>{"10.0.0.2 club room", "192.168.1.7", "1.2"}));
  EXPECT_TRUE(ReadServerListFile(Path("missing.txt")).empty());
}

TEST_F(Setup, ListEntryKeepsOnlyTheAddressOnOk) {
  QtSettingsStore store;
  Settings s;
  SetupFields f = OpenSetupFields(s, {}, ParseServerList("  10.0.0.2 club room\n"), store);
  ASSERT_EQ(f.addressList.size(), 1u);
  f.address = f.addressList[0];
  f.handle = "Ann";
  f.client = true;
  SetupOutcome out = AcceptSetup(f, s, {}, store);
  EXPECT_TRUE(out.close);
  EXPECT_EQ(out.start, StartRole::Client);
  EXPECT_EQ(s.ServerAddress, "10.0.0.2");
  std::string stored;
  ASSERT_TRUE(store.ReadString(ValueLastIp, stored));
  EXPECT_EQ(stored, "10.0.0.2");
}

TEST_F(Setup, OkStoresAndTheNextStartReadsThem) {
  {
    QtSettingsStore store;
    Settings s;
    SetupFields f = OpenSetupFields(s, {}, {}, store);
    f.handle = "Ann";
    f.address = "10.1.1.1";
    f.red = "300";     // capped
    f.green = "abc";   // not a number
    f.blue = "12";
    f.spacing = "0";   // stacks the cards: accepted
    f.seed = "77";
    SetupOutcome out = AcceptSetup(f, s, {}, store);
    ASSERT_TRUE(out.close);
    EXPECT_EQ(out.start, StartRole::None);
    EXPECT_EQ(s.BackgroundRed, 255);
    EXPECT_EQ(s.BackgroundGreen, 0);
    EXPECT_EQ(s.BackgroundBlue, 12);
    EXPECT_EQ(s.CardSpacing, 0);
    EXPECT_EQ(s.randomSeed, 77u);
  }
  QtSettingsStore store;
  Settings fresh;
  SetupFields f = OpenSetupFields(fresh, {}, {}, store);
  EXPECT_EQ(f.handle, "Ann");
  EXPECT_EQ(f.address, "10.1.1.1");
  EXPECT_EQ(f.red, "255");
  EXPECT_EQ(f.green, "0");
  EXPECT_EQ(f.blue, "12");
  EXPECT_EQ(f.spacing, "0");
  EXPECT_EQ(f.seed, "0");  // the seed is not stored
}

TEST_F(Setup, ServerIpListFollowsTheFileEntries) {
  {
    QSettings raw(QSettings::NativeFormat, QSettings::UserScope, "Zelbowin", QString());
    raw.setValue("Server IP", QStringList{"host.example", "10.9.9.9"});
  }
  QtSettingsStore store;
  Settings s;
  SetupFields f = OpenSetupFields(s, {}, {"1.1.1.1"}, store);
  EXPECT_EQ(f.addressList, (std::vector<std::string>{"1.1.1.1", "host.example", "10.9.9.9"}));
}

TEST_F(Setup, LiveSettingsWinOnceTheProcessHasARole) {
  QtSettingsStore store;
  store.WriteString(ValueHandle, "Stored");
  store.WriteNumber(ValueCardSpacing, 40);
  Settings s;
  s.Handle = "";
  s.CardSpacing = 20;
  ProcessRole client{false, true};
  SetupFields f = OpenSetupFields(s, client, {}, store);
  EXPECT_EQ(f.handle, "");
  EXPECT_EQ(f.spacing, "20");
  EXPECT_TRUE(f.client);
  EXPECT_FALSE(f.server);
  // OK with Client still checked does not connect again.
  f.handle = "Ann";
  EXPECT_EQ(AcceptSetup(f, s, client, store).start, StartRole::None);
}

TEST_F(Setup, StartModePreselectsABox) {
  QtSettingsStore store;
  Settings s;
  s.StartMode = StartModeServer;
  SetupFields f = OpenSetupFields(s, {}, {}, store);
  EXPECT_TRUE(f.server);
  EXPECT_FALSE(f.client);
}

TEST_F(Setup, EmptyHandleKeepsDialogOpenButStoresAddressAndPort) {
  QtSettingsStore store;
  Settings s;
  SetupFields f = OpenSetupFields(s, {}, {}, store);
  f.address = "10.0.0.9";
  f.port = "3000";
  SetupOutcome out = AcceptSetup(f, s, {}, store);
  EXPECT_FALSE(out.close);
  EXPECT_TRUE(out.handleMissing);
  EXPECT_EQ(s.Port, 3000);
  std::string stored;
  EXPECT_TRUE(store.ReadString(ValueLastIp, stored));
  EXPECT_EQ(stored, "10.0.0.9");
  EXPECT_FALSE(store.ReadString(ValueHandle, stored));
}

TEST_F(Setup, PortOutsideRangeKeepsDialogOpenAndPortUnchanged) {
  QtSettingsStore store;
  for (const char* bad : {"0", "65536", "abc", "", "99999999999"}) {
    Settings s;
    SetupFields f = OpenSetupFields(s, {}, {}, store);
    f.handle = "Ann";
    f.server = true;
    f.port = bad;
    SetupOutcome out = AcceptSetup(f, s, {}, store);
    EXPECT_FALSE(out.close) << bad;
    EXPECT_TRUE(out.portRejected) << bad;
    EXPECT_EQ(out.start, StartRole::None) << bad;
    EXPECT_EQ(s.Port, InitialPort) << bad;
  }
  Settings s;
  SetupFields f = OpenSetupFields(s, {}, {}, store);
  f.handle = "Ann";
  f.port = "65535";
  EXPECT_TRUE(AcceptSetup(f, s, {}, store).close);
  EXPECT_EQ(s.Port, 65535);
}

TEST_F(Setup, HandleIsCutTo30) {
  QtSettingsStore store;
  Settings s;
  SetupFields f = OpenSetupFields(s, {}, {}, store);
  f.handle = std::string(35, 'h');
  ASSERT_TRUE(AcceptSetup(f, s, {}, store).close);
  EXPECT_EQ(s.Handle, std::string(30, 'h'));
}

TEST_F(Setup, NonplayingServerIsNotStoredButOtherCapitalsAre) {
  QtSettingsStore store;
  store.WriteString(ValueHandle, "Previous");
  Settings s;
  SetupFields f = OpenSetupFields(s, {}, {}, store);
  f.handle = "nonplaying server";
  ASSERT_TRUE(AcceptSetup(f, s, {}, store).close);
  std::string stored;
  ASSERT_TRUE(store.ReadString(ValueHandle, stored));
  EXPECT_EQ(stored, "Previous");
  f.handle = "Nonplaying Server";
  ASSERT_TRUE(AcceptSetup(f, s, {}, store).close);
  ASSERT_TRUE(store.ReadString(ValueHandle, stored));
  EXPECT_EQ(stored, "Nonplaying Server");
}

TEST_F(Setup, PrivilegedHandleInAnyCase) {
  QtSettingsStore store;
  Settings s;
  SetupFields f = OpenSetupFields(s, {}, {}, store);
  f.handle = "PlOmK";
  ASSERT_TRUE(AcceptSetup(f, s, {}, store).close);
  EXPECT_TRUE(s.Privileged);
  f.handle = "plomkx";
  ASSERT_TRUE(AcceptSetup(f, s, {}, store).close);
  EXPECT_FALSE(s.Privileged);
}

TEST_F(Setup, BothBoxesStartTheClientOnly) {
  QtSettingsStore store;
  Settings s;
  SetupFields f = OpenSetupFields(s, {}, {}, store);
  f.handle = "Ann";
  f.client = f.server = true;
  EXPECT_EQ(AcceptSetup(f, s, {}, store).start, StartRole::Client);
  f.client = false;
  EXPECT_EQ(AcceptSetup(f, s, {}, store).start, StartRole::Server);
}

TEST_F(Setup, HugeSpacingIsBounded) {
  QtSettingsStore store;
  Settings s;
  SetupFields f = OpenSetupFields(s, {}, {}, store);
  f.handle = "Ann";
  f.spacing = "4000000000";
  ASSERT_TRUE(AcceptSetup(f, s, {}, store).close);
  EXPECT_EQ(s.CardSpacing, MaxCardSpacing);
}

}  // namespace
}  // namespace zelbo

namespace zelbo {
namespace {

TEST(SettingsFile, NamedFileKeepsValuesApartFromTheUsers) {
  QTemporaryDir dir;
  const QString file = dir.filePath("zelbo.ini");
  {
    QtSettingsStore store(file);
    store.WriteString(ValueHandle, "Ann");
    store.WriteNumber(ValueCardSpacing, 24);
  }
  QtSettingsStore store(file);
  std::string handle;
  uint32_t spacing = 0;
  ASSERT_TRUE(store.ReadString(ValueHandle, handle));
  ASSERT_TRUE(store.ReadNumber(ValueCardSpacing, spacing));
  EXPECT_EQ(handle, "Ann");
  EXPECT_EQ(spacing, 24u);
  EXPECT_FALSE(store.ReadNumber(ValueHandle, spacing)) << "text is not a number";
}

}  // namespace
}  // namespace zelbo
