#include "platform/linux/xdg_user_dirs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace sortwell::platform::linux_host {
namespace {

using test::ScopedEnv;
using test::TempDir;
using test::writeFile;

namespace fs = std::filesystem;

class XdgUserDirsTest : public ::testing::Test {
protected:
    void writeUserDirs(const std::string& text) {
        fs::create_directories(config_.path());
        writeFile(config_.path() / "user-dirs.dirs", text);
    }

    std::string home() const { return home_.str(); }

    TempDir home_;
    TempDir config_;
    ScopedEnv homeEnv_{"HOME", home_.str()};
    ScopedEnv configEnv_{"XDG_CONFIG_HOME", config_.str()};
    ScopedEnv dataEnv_{"XDG_DATA_HOME", home_.str() + "/data"};
    ScopedEnv cacheEnv_{"XDG_CACHE_HOME", home_.str() + "/cache"};
    XdgUserDirs dirs_;
};

TEST_F(XdgUserDirsTest, ReadsHomeRelativeAndAbsoluteValues) {
    writeUserDirs(
        "# This file is written by xdg-user-dirs-update\n"
        "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
        "XDG_DOCUMENTS_DIR=\"/srv/papers/\"\n"
        "  XDG_PICTURES_DIR = \"$HOME/Bilder\"  # kept by hand\n"
        "XDG_MUSIC_DIR=\"$HOME/\"\n");

    EXPECT_EQ(dirs_.lookup("Desktop"), home() + "/Schreibtisch");
    EXPECT_EQ(dirs_.lookup("Personal"), "/srv/papers");
    EXPECT_EQ(dirs_.lookup("My Pictures"), home() + "/Bilder");
    EXPECT_EQ(dirs_.lookup("My Music"), home());
}

TEST_F(XdgUserDirsTest, UndoesBackslashEscapes) {
    writeUserDirs("XDG_VIDEOS_DIR=\"$HOME/say \\\"hi\\\" \\\\ \\$HOME\"\n");

    EXPECT_EQ(dirs_.lookup("My Video"), home() + "/say \"hi\" \\ $HOME");
}

TEST_F(XdgUserDirsTest, LastWellFormedLineWins) {
    writeUserDirs(
        "XDG_TEMPLATES_DIR=\"$HOME/First\"\n"
        "XDG_TEMPLATES_DIR=\"$HOME/Second\"\n"
        "XDG_TEMPLATES_DIR=\"relative/Third\"\n");

    EXPECT_EQ(dirs_.lookup("Templates"), home() + "/Second");
}

TEST_F(XdgUserDirsTest, IgnoresMalformedAndCommentedLines) {
    writeUserDirs(
        "#XDG_DESKTOP_DIR=\"/commented\"\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/unterminated\n"
        "XDG_PICTURES_DIR=$HOME/unquoted\n"
        "XDG_MUSIC_DIR=\"$HOMEWORK/x\"\n"
        "XDG_VIDEOS_DIR=\"~/Videos\"\n"
        "XDG_TEMPLATES_DIR=\"$HOME/t\" trailing\n"
        "XDG_DESKTOP_DIRS=\"/other/key\"\n");

    EXPECT_EQ(dirs_.lookup("Desktop"), home() + "/Desktop");
    EXPECT_EQ(dirs_.lookup("Personal"), home() + "/Documents");
    EXPECT_EQ(dirs_.lookup("My Pictures"), home() + "/Pictures");
    EXPECT_EQ(dirs_.lookup("My Music"), home() + "/Music");
    EXPECT_EQ(dirs_.lookup("My Video"), home() + "/Videos");
    EXPECT_EQ(dirs_.lookup("Templates"), home() + "/Templates");
}

TEST_F(XdgUserDirsTest, FallsBackWithoutFile) {
    EXPECT_EQ(dirs_.lookup("Desktop"), home() + "/Desktop");
    EXPECT_EQ(dirs_.lookup("Personal"), home() + "/Documents");
    EXPECT_EQ(dirs_.lookup("My Pictures"), home() + "/Pictures");
    EXPECT_EQ(dirs_.lookup("My Music"), home() + "/Music");
    EXPECT_EQ(dirs_.lookup("My Video"), home() + "/Videos");
    EXPECT_EQ(dirs_.lookup("Templates"), home() + "/Templates");
}

TEST_F(XdgUserDirsTest, FallsBackForMissingLineOnly) {
    writeUserDirs("XDG_DESKTOP_DIR=\"/srv/desk\"\n");

    EXPECT_EQ(dirs_.lookup("Desktop"), "/srv/desk");
    EXPECT_EQ(dirs_.lookup("Personal"), home() + "/Documents");
}

TEST_F(XdgUserDirsTest, FixedPlacesFollowBaseDirectories) {
    EXPECT_EQ(dirs_.lookup("AppData"), config_.str());
    EXPECT_EQ(dirs_.lookup("Local AppData"), home() + "/data");
    EXPECT_EQ(dirs_.lookup("Cache"), home() + "/cache");
    EXPECT_EQ(dirs_.lookup("Fonts"), home() + "/data/fonts");
    EXPECT_EQ(dirs_.lookup("Programs"), home() + "/data/applications");
    EXPECT_EQ(dirs_.lookup("Start Menu"), home() + "/data/applications");
    EXPECT_EQ(dirs_.lookup("Startup"), config_.str() + "/autostart");
}

TEST_F(XdgUserDirsTest, DropsTrailingSlashButKeepsRoot) {
    ScopedEnv data("XDG_DATA_HOME", "/srv/data//");
    ScopedEnv cache("XDG_CACHE_HOME", "/");
    writeUserDirs("XDG_DESKTOP_DIR=\"/\"\n");

    EXPECT_EQ(dirs_.lookup("Local AppData"), "/srv/data");
    EXPECT_EQ(dirs_.lookup("Fonts"), "/srv/data/fonts");
    EXPECT_EQ(dirs_.lookup("Cache"), "/");
    EXPECT_EQ(dirs_.lookup("Desktop"), "/");
}

TEST_F(XdgUserDirsTest, RelativeConfigHomeIsIgnored) {
    ScopedEnv config("XDG_CONFIG_HOME", "relative/config");
    fs::create_directories(home_.path() / ".config");
    writeFile(home_.path() / ".config" / "user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Tisch\"\n");

    EXPECT_EQ(dirs_.lookup("AppData"), home() + "/.config");
    EXPECT_EQ(dirs_.lookup("Startup"), home() + "/.config/autostart");
    EXPECT_EQ(dirs_.lookup("Desktop"), home() + "/Tisch");
}

TEST_F(XdgUserDirsTest, NamesWithoutEquivalentGiveEmptyText) {
    for (const char* name : {"Favorites", "NetHood", "SendTo", "Recent", "Quick Launch", "desktop",
                             "PERSONAL", "Startup ", ""}) {
        EXPECT_EQ(dirs_.lookup(name), "") << name;
    }
}

TEST(FindUserDir, ExpandsHomeOnlyAtTheStart) {
    EXPECT_EQ(findUserDir("XDG_X_DIR=\"$HOME/a\"\n", "XDG_X_DIR", "/h"), "/h/a");
    EXPECT_EQ(findUserDir("XDG_X_DIR=\"/a/$HOME/b\"\n", "XDG_X_DIR", "/h"), "/a/$HOME/b");
    EXPECT_EQ(findUserDir("XDG_X_DIR=\"$HOME\"\n", "XDG_X_DIR", "/h"), "/h");
    EXPECT_EQ(findUserDir("XDG_X_DIR=\"$HOME/a\"\n", "XDG_X_DIR", ""), "");
    EXPECT_EQ(findUserDir("XDG_X_DIR=\"/a\"", "XDG_X_DIR", "/h"), "/a");
}

}  // namespace
}  // namespace sortwell::platform::linux_host
