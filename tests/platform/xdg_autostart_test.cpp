#include "platform/linux/xdg_autostart.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace sortwell::platform::linux_host {
namespace {

using test::fileNames;
using test::readFile;
using test::ScopedEnv;
using test::TempDir;
using test::writeFile;

namespace fs = std::filesystem;

class XdgAutostartTest : public ::testing::Test {
protected:
    fs::path autostartDir() const { return config_.path() / "autostart"; }

    std::set<std::string> entryFiles() const { return fileNames(autostartDir()); }

    TempDir config_;
    ScopedEnv configHome_{"XDG_CONFIG_HOME", config_.str()};
    XdgAutostart autostart_;
};

TEST_F(XdgAutostartTest, EnableWritesOneEntryWithTheWholeText) {
    ASSERT_EQ(autostart_.enable("Tessaryn Sortwell", "/opt/old/sortwell"), "");
    ASSERT_EQ(autostart_.enable("Tessaryn Sortwell", "/opt/sortwell/bin/sortwell"), "");

    EXPECT_EQ(entryFiles(), std::set<std::string>{"Tessaryn Sortwell.desktop"});
    EXPECT_EQ(readFile(autostartDir() / "Tessaryn Sortwell.desktop"),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Tessaryn Sortwell\n"
              "Exec=\"/opt/sortwell/bin/sortwell\"\n"
              "X-GNOME-Autostart-enabled=true\n");
    EXPECT_TRUE(autostart_.isEnabled("Tessaryn Sortwell"));
}

TEST_F(XdgAutostartTest, EnableEscapesNameAndExecutable) {
    ASSERT_EQ(autostart_.enable(" Tab\tLine\nBack\\", "/opt/a b/$x`y\\z%u\"q"), "");

    EXPECT_EQ(readFile(autostartDir() / autostartFileName(" Tab\tLine\nBack\\")),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=\\sTab\\tLine\\nBack\\\\\n"
              "Exec=\"/opt/a b/\\\\$x\\\\`y\\\\\\\\z%%u\\\\\"q\"\n"
              "X-GNOME-Autostart-enabled=true\n");
}

TEST_F(XdgAutostartTest, ReplacedProgramIsRegisteredUnderTheFileNowAtItsPath) {
    TempDir bin;
    writeFile(bin.path() / "sortwell", "new version");

    ASSERT_EQ(autostart_.enable("Sortwell", bin.str() + "/sortwell (deleted)"), "");

    const std::string entry = readFile(autostartDir() / "Sortwell.desktop");
    EXPECT_NE(entry.find("Exec=\"" + bin.str() + "/sortwell\"\n"), std::string::npos) << entry;
    EXPECT_EQ(entry.find("deleted"), std::string::npos) << entry;
}

TEST_F(XdgAutostartTest, RemovedProgramLeavesTheEntryAsItWasAndSaysWhy) {
    TempDir bin;
    ASSERT_EQ(autostart_.enable("Sortwell", "/opt/sortwell/bin/sortwell"), "");
    const std::string before = readFile(autostartDir() / "Sortwell.desktop");

    const std::string problem = autostart_.enable("Sortwell", bin.str() + "/sortwell (deleted)");

    EXPECT_NE(problem.find(bin.str() + "/sortwell was removed"), std::string::npos) << problem;
    EXPECT_EQ(readFile(autostartDir() / "Sortwell.desktop"), before);
}

TEST_F(XdgAutostartTest, DisableRemovesTheEntry) {
    ASSERT_EQ(autostart_.enable("Sortwell", "/usr/bin/sortwell"), "");

    EXPECT_EQ(autostart_.disable("Sortwell"), "");

    EXPECT_FALSE(autostart_.isEnabled("Sortwell"));
    EXPECT_FALSE(fs::exists(autostartDir() / "Sortwell.desktop"));
}

TEST_F(XdgAutostartTest, DisableOfMissingEntryIsNoError) {
    EXPECT_EQ(autostart_.disable("Never Enabled"), "");
    EXPECT_FALSE(autostart_.isEnabled("Never Enabled"));
}

TEST_F(XdgAutostartTest, DisableFailureGivesReason) {
    fs::create_directories(autostartDir() / "Stuck.desktop" / "inside");

    const std::string problem = autostart_.disable("Stuck");

    EXPECT_NE(problem.find((autostartDir() / "Stuck.desktop").string()), std::string::npos)
        << problem;
}

TEST_F(XdgAutostartTest, FolderNamedLikeEntryIsNotEnabled) {
    fs::create_directories(autostartDir() / "Folder.desktop");

    EXPECT_FALSE(autostart_.isEnabled("Folder"));
}

TEST_F(XdgAutostartTest, HostileNamesStayInFolderAndStayDistinct) {
    const std::vector<std::string> names = {"../escape", "a/b", "a%2Fb", ".hidden",
                                            "%2Ehidden", "..",  "a\nb"};
    for (const std::string& name : names) {
        ASSERT_EQ(autostart_.enable(name, "/usr/bin/sortwell"), "") << name;
    }

    const std::set<std::string> files = entryFiles();
    EXPECT_EQ(files.size(), names.size());
    for (const std::string& file : files) {
        EXPECT_NE(file.front(), '.') << file;
        EXPECT_EQ(file.find('/'), std::string::npos) << file;
    }
    for (const std::string& name : names) {
        EXPECT_TRUE(autostart_.isEnabled(name)) << name;
    }
    EXPECT_EQ(fileNames(config_.path()), std::set<std::string>{"autostart"});
}

TEST(AutostartFileName, EncodesOnlyTheUnsafeBytes) {
    EXPECT_EQ(autostartFileName("Tessaryn Sortwell"), "Tessaryn Sortwell.desktop");
    EXPECT_EQ(autostartFileName("a/b"), "a%2Fb.desktop");
    EXPECT_EQ(autostartFileName("100%"), "100%25.desktop");
    EXPECT_EQ(autostartFileName(".x.y"), "%2Ex.y.desktop");
    EXPECT_EQ(autostartFileName("a\nb\x1f"), "a%0Ab%1F.desktop");
}

TEST(QuoteExecArgument, QuotesAndEscapesReservedCharacters) {
    EXPECT_EQ(quoteExecArgument("/usr/bin/sortwell"), "\"/usr/bin/sortwell\"");
    EXPECT_EQ(quoteExecArgument("/home/me/My Apps/sortwell"), "\"/home/me/My Apps/sortwell\"");
    EXPECT_EQ(quoteExecArgument("/opt/\"q\"/s"), "\"/opt/\\\"q\\\"/s\"");
    EXPECT_EQ(quoteExecArgument("/opt/$HOME/s"), "\"/opt/\\$HOME/s\"");
    EXPECT_EQ(quoteExecArgument("/opt/`id`/s"), "\"/opt/\\`id\\`/s\"");
    EXPECT_EQ(quoteExecArgument("/opt/a\\b"), "\"/opt/a\\\\b\"");
    EXPECT_EQ(quoteExecArgument("/opt/100%/%f"), "\"/opt/100%%/%%f\"");
    EXPECT_EQ(quoteExecArgument("/opt/it's"), "\"/opt/it's\"");
}

TEST(EscapeDesktopString, EscapesControlsBackslashAndLeadingSpace) {
    EXPECT_EQ(escapeDesktopString("plain text"), "plain text");
    EXPECT_EQ(escapeDesktopString("  two"), "\\s two");
    EXPECT_EQ(escapeDesktopString("a\\b\nc\td\re"), "a\\\\b\\nc\\td\\re");
}

TEST(XdgAutostartFailure, EnableBelowRegularFileGivesReason) {
    TempDir dir;
    const fs::path blocker = dir.path() / "not-a-folder";
    writeFile(blocker, "x");
    ScopedEnv configHome("XDG_CONFIG_HOME", (blocker / "config").string());
    XdgAutostart autostart;

    const std::string problem = autostart.enable("Sortwell", "/usr/bin/sortwell");

    EXPECT_NE(problem.find((blocker / "config" / "autostart").string()), std::string::npos)
        << problem;
    EXPECT_FALSE(autostart.isEnabled("Sortwell"));
}

TEST(XdgAutostartFailure, EnableWithoutNameOrProgramGivesReason) {
    TempDir dir;
    ScopedEnv configHome("XDG_CONFIG_HOME", dir.str());
    XdgAutostart autostart;

    EXPECT_NE(autostart.enable("", "/usr/bin/sortwell"), "");
    EXPECT_NE(autostart.enable("Sortwell", ""), "");
    EXPECT_FALSE(fs::exists(dir.path() / "autostart"));
}

// Reads an Exec value back the way a desktop session does: first the string escapes, then the
// quoting and the "%%" field code. Empty when the value is not one quoted argument.
std::optional<std::string> unescapeDesktopString(const std::string& value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            text += value[i];
            continue;
        }
        if (++i == value.size()) {
            return std::nullopt;
        }
        switch (value[i]) {
            case 's':
                text += ' ';
                break;
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case 'r':
                text += '\r';
                break;
            case '\\':
                text += '\\';
                break;
            default:
                return std::nullopt;
        }
    }
    return text;
}

std::optional<std::string> unquoteExecArgument(const std::string& quoted) {
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') {
        return std::nullopt;
    }
    std::string path;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        const char c = quoted[i];
        if (c == '"' || c == '`' || c == '$') {
            return std::nullopt;
        }
        if (c == '%') {
            if (quoted[++i] != '%') {
                return std::nullopt;
            }
        } else if (c == '\\') {
            ++i;
            if (std::string("\"`$\\").find(quoted[i]) == std::string::npos) {
                return std::nullopt;
            }
        }
        if (i + 1 >= quoted.size()) {
            return std::nullopt;
        }
        path += quoted[i];
    }
    return path;
}

std::optional<std::string> execPathFromEntry(const std::string& entry) {
    const std::string prefix = "\nExec=";
    const std::size_t start = entry.find(prefix);
    if (start == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t valueStart = start + prefix.size();
    const std::string value = entry.substr(valueStart, entry.find('\n', valueStart) - valueStart);
    const std::optional<std::string> unescaped = unescapeDesktopString(value);
    return unescaped ? unquoteExecArgument(*unescaped) : std::nullopt;
}

TEST(XdgAutostartRoundTrip, ExecGivesBackHostilePathsByteForByte) {
    const std::vector<std::string> paths = {
        "/usr/bin/sortwell",
        "/home/me/My Apps/sortwell",
        "/opt/\"quoted\"/$(rm -rf ~)/`id`/s",
        R"(/opt/a\b\\c\)",
        "/opt/%f %U %%/s",
        " leading/space",
        "/line\nbreak/tab\there/cr\rend",
        "/opt/'single'/;&|<>*?#~()",
        "/opt/\xc3\xa9t\xc3\xa9/s",
    };
    for (const std::string& path : paths) {
        const std::optional<std::string> back =
            execPathFromEntry(autostartEntryText("Sortwell", path));
        ASSERT_TRUE(back.has_value()) << path;
        EXPECT_EQ(*back, path);
    }
}

}  // namespace
}  // namespace sortwell::platform::linux_host
