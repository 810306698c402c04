#include <gtest/gtest.h>

#include "components/qdreg.h"
#include "fakes/fake_host.h"
#include "support/temp_dir.h"

namespace {

using sortwell::test::FakeHost;

class SystemTest : public ::testing::Test {
protected:
    FakeHost fakes;
    TQDReg reg{fakes.host()};
};

TEST_F(SystemTest, StartupEntryIsSetOnceAndRemoved) {
    reg.SetSystemStartup(true, "Tessaryn Sortwell");
    reg.SetSystemStartup(true, "Tessaryn Sortwell");
    ASSERT_EQ(fakes.autostart.entries.size(), 1U);
    EXPECT_EQ(fakes.autostart.entries["Tessaryn Sortwell"], "/opt/sortwell/bin/sortwell");
    EXPECT_TRUE(reg.GetSystemStartup("Tessaryn Sortwell"));
    reg.SetSystemStartup(false, "Tessaryn Sortwell");
    EXPECT_FALSE(reg.GetSystemStartup("Tessaryn Sortwell"));
    EXPECT_NO_THROW(reg.SetSystemStartup(false, "Tessaryn Sortwell"));
}

TEST_F(SystemTest, RefusedStartupEntryReachesTheCaller) {
    fakes.autostart.refuseWith = "Permission denied";
    try {
        reg.SetSystemStartup(true, "Tessaryn Sortwell");
        FAIL() << "no error raised";
    } catch (const TQDRegError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'Tessaryn Sortwell'");
        EXPECT_EQ(error.detail(), "Permission denied");
    }
    EXPECT_THROW(reg.SetSystemStartup(false, "Tessaryn Sortwell"), TQDRegError);
}

TEST_F(SystemTest, StartupNeedsTheProgramsOwnPath) {
    fakes.program.path.clear();
    EXPECT_THROW(reg.SetSystemStartup(true, "Tessaryn Sortwell"), TQDRegError);
    EXPECT_TRUE(fakes.autostart.entries.empty());
}

TEST_F(SystemTest, AppDirIsTheExecutablesFolderWithSeparator) {
    EXPECT_EQ(reg.AppDir(), "/opt/sortwell/bin/");
    fakes.program.path = "/sortwell";
    EXPECT_EQ(reg.AppDir(), "/");
    fakes.program.path = std::string(300, 'a').insert(0, "/long/");
    EXPECT_EQ(reg.AppDir(), "/long/") << "long paths are not cut";
    fakes.program.path.clear();
    EXPECT_EQ(reg.AppDir(), "");
}

TEST_F(SystemTest, ExchangeDirIsTheProgramFolderWhereItCanBeWritten) {
    reg.Firmenname = "tessaryn";
    fakes.shellFolders.folders = {{"AppData", "/home/anna/.config"}};
    EXPECT_EQ(reg.ExchangeDir(), "/opt/sortwell/bin/");
}

TEST_F(SystemTest, ExchangeDirFallsBackToTheCompanyFolderOfTheUsersConfiguration) {
    reg.Firmenname = "tessaryn";
    fakes.program.folderWritable = false;
    fakes.shellFolders.folders = {{"AppData", "/home/anna/.config"}};
    EXPECT_EQ(reg.ExchangeDir(), "/home/anna/.config/tessaryn/");
    fakes.shellFolders.folders = {{"AppData", "/home/anna/.config/"}};
    EXPECT_EQ(reg.ExchangeDir(), "/home/anna/.config/tessaryn/");
    fakes.shellFolders.folders.clear();
    EXPECT_EQ(reg.ExchangeDir(), "") << "no folder at all rather than a relative path";
}

TEST_F(SystemTest, ExchangeDirOfAProgramInAnUnknownPlaceIsThePerUserOne) {
    reg.Firmenname = "tessaryn";
    fakes.program.path.clear();
    fakes.shellFolders.folders = {{"AppData", "/home/anna/.config"}};
    EXPECT_EQ(reg.ExchangeDir(), "/home/anna/.config/tessaryn/");
}

TEST_F(SystemTest, IniDirectoryStartsAsTheProgramDirectory) {
    EXPECT_EQ(reg.IniFileDir, "/opt/sortwell/bin/");
    EXPECT_EQ(reg.IniFileName, "config.ini");
    EXPECT_TRUE(reg.Programmname.empty());
    EXPECT_TRUE(reg.Firmenname.empty());
}

TEST_F(SystemTest, ShellFoldersEndInOneSeparator) {
    fakes.shellFolders.folders = {{"Desktop", "/home/u/Desktop"},
                                  {"Personal", "/home/u/Documents/"},
                                  {"Startup", "/home/u/.config/autostart"},
                                  {"Quick Launch", "/ql"}};
    EXPECT_EQ(reg.GetDirDesktop(), "/home/u/Desktop/");
    EXPECT_EQ(reg.GetDirPersonal(), "/home/u/Documents/");
    EXPECT_EQ(reg.GetDirStartup(), "/home/u/.config/autostart/");
    EXPECT_EQ(reg.GetDirQuickLaunch(), "/ql/");
    EXPECT_EQ(reg.GetDirFavorites(), "") << "no lone separator for a missing folder";
    EXPECT_EQ(reg.GetShellFolder("desktop"), "");
}

// The program's own host, against a temporary home.
TEST(NativeSystemTest, StartupEntryAndShellFoldersOfTheDesktop) {
    sortwell::test::TempDir home;
    sortwell::test::ScopedEnv homeVar("HOME", home.str());
    sortwell::test::ScopedEnv config("XDG_CONFIG_HOME", home.str() + "/cfg");
    sortwell::test::ScopedEnv data("XDG_DATA_HOME", home.str() + "/data");
    TQDReg reg(sortwell::platform::NativeHost());
    EXPECT_FALSE(reg.GetSystemStartup("Tessaryn Sortwell"));
    reg.SetSystemStartup(true, "Tessaryn Sortwell");
    const auto entry = home.path() / "cfg/autostart/Tessaryn Sortwell.desktop";
    ASSERT_TRUE(std::filesystem::exists(entry));
    const std::string self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_NE(sortwell::test::readFile(entry).find("Exec=\"" + self + "\"\n"), std::string::npos);
    EXPECT_TRUE(reg.GetSystemStartup("Tessaryn Sortwell"));
    reg.SetSystemStartup(false, "Tessaryn Sortwell");
    EXPECT_FALSE(std::filesystem::exists(entry));

    EXPECT_EQ(reg.AppDir(), std::filesystem::path(self).parent_path().string() + "/");
    // The test program runs from its build folder, which can be written.
    EXPECT_EQ(reg.ExchangeDir(), reg.AppDir());
    EXPECT_EQ(reg.GetDirStartup(), home.str() + "/cfg/autostart/");
    EXPECT_EQ(reg.GetDirDesktop(), home.str() + "/Desktop/");
    EXPECT_EQ(reg.GetDirFonts(), home.str() + "/data/fonts/");
    EXPECT_EQ(reg.GetDirNetHood(), "");
}

}  // namespace
