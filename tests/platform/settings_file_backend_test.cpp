#include "platform/linux/settings_file_backend.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace sortwell::platform::linux_host {
namespace {

using namespace std::string_literals;
using test::exitCodeAsNobody;
using test::exitCodeOf;
using test::fileNames;
using test::kCouldNotDropRights;
using test::permissions;
using test::readFile;
using test::ScopedEnv;
using test::TempDir;
using test::writeFile;

namespace fs = std::filesystem;

constexpr const char* kProgram = "tessaryn/Sortwell";
constexpr std::string_view kFirstLine = "# Tessaryn Sortwell settings, format 1\n";

std::vector<std::string> namesStartingWith(const fs::path& folder, const std::string& prefix) {
    std::vector<std::string> names;
    for (const std::string& name : fileNames(folder)) {
        if (name.rfind(prefix, 0) == 0) {
            names.push_back(name);
        }
    }
    return names;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::function<void(SettingsTree&)> setValue(const std::string& folder, const std::string& key,
                                            const std::string& value) {
    return [=](SettingsTree& tree) { tree.folder(folder).set(key, value); };
}

std::function<void(SettingsTree&)> replaceWith(const SettingsTree& wanted) {
    return [wanted](SettingsTree& tree) { tree = wanted; };
}

// About 200 values over the root and two folders, every value starting with `prefix`.
SettingsTree numberedTree(const std::string& prefix) {
    SettingsTree tree;
    for (const char* folder : {"", "Profiles", "Targets"}) {
        for (int i = 0; i < 67; ++i) {
            tree.folder(folder).set("Value " + std::to_string(i),
                                    prefix + std::to_string(i) + " " + std::string(40, 'v'));
        }
    }
    return tree;
}

std::string brokenNameAt(std::time_t when) {
    std::tm parts{};
    localtime_r(&when, &parts);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y%m%d-%H%M%S", &parts);
    return "Sortwell.conf.broken-"s + text.data();
}

// Starts a process that saves `second` and `first` in turn until it is killed; returns once
// its first save is done, so that every kill lands inside the loop.
pid_t startAlternatingWriter(const SettingsTree& first, const SettingsTree& second) {
    std::array<int, 2> ready{};
    if (::pipe(ready.data()) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return -1;
    }
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::close(ready[0]);
        SettingsFileBackend writer;
        for (bool firstRound = true;; firstRound = false) {
            if (!writer.update(kProgram, replaceWith(second), FlushTiming::Soon).ok) {
                ::_exit(1);
            }
            if (firstRound && ::write(ready[1], "r", 1) != 1) {
                ::_exit(2);
            }
            if (!writer.update(kProgram, replaceWith(first), FlushTiming::Soon).ok) {
                ::_exit(1);
            }
        }
    }
    ::close(ready[1]);
    char signal = 0;
    const bool started = ::read(ready[0], &signal, 1) == 1;
    ::close(ready[0]);
    if (!started) {
        ::kill(child, SIGKILL);
        exitCodeOf(child);
        return -1;
    }
    return child;
}

class SettingsFileBackendTest : public ::testing::Test {
protected:
    fs::path configDir() const { return home_.path() / "config"; }
    fs::path companyDir() const { return configDir() / "tessaryn"; }
    fs::path settingsFile() const { return companyDir() / "Sortwell.conf"; }

    void writeBrokenFile(std::string_view bytes) {
        fs::create_directories(companyDir());
        writeFile(settingsFile(), bytes);
    }

    std::vector<std::string> brokenCopies() const {
        return namesStartingWith(companyDir(), "Sortwell.conf.broken-");
    }

    std::vector<std::string> temporaryFiles() const {
        return namesStartingWith(companyDir(), ".Sortwell.conf.");
    }

    TempDir home_;
    ScopedEnv configHome_{"XDG_CONFIG_HOME", (home_.path() / "config").string()};
    SettingsFileBackend backend_;
};

TEST_F(SettingsFileBackendTest, ReadsMissingWhenThereIsNoFile) {
    const SettingsRead read = backend_.read(kProgram);
    EXPECT_EQ(read.status, SettingsRead::Status::Missing);
    EXPECT_TRUE(read.tree.empty());
    EXPECT_EQ(read.problem, "");
}

TEST_F(SettingsFileBackendTest, ReadsBackWhatUpdateWrote) {
    SettingsTree wanted;
    wanted.folder("").set("Language", "de");
    wanted.folder("Profiles").set("Path", "C:\\Scan\\In\nsecond line");
    wanted.folder("Empty");
    wanted.folder("[odd]").set("=", "\0\xFF"s);

    const SettingsWrite write = backend_.update(kProgram, replaceWith(wanted), FlushTiming::Now);
    EXPECT_TRUE(write.ok) << write.problem;
    EXPECT_EQ(write.problem, "");

    const SettingsRead read = backend_.read(kProgram);
    EXPECT_EQ(read.status, SettingsRead::Status::Read) << read.problem;
    EXPECT_EQ(read.tree, wanted);
    EXPECT_EQ(readFile(settingsFile()).rfind(kFirstLine, 0), 0U);
}

TEST_F(SettingsFileBackendTest, UpdateKeepsValuesTheChangeDidNotTouch) {
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Now).ok);
    ASSERT_TRUE(backend_.update(kProgram, setValue("F", "b", "2"), FlushTiming::Now).ok);
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "a", "3"), FlushTiming::Now).ok);

    SettingsTree expected;
    expected.folder("").set("a", "3");
    expected.folder("F").set("b", "2");
    EXPECT_EQ(backend_.read(kProgram).tree, expected);
}

TEST_F(SettingsFileBackendTest, ChangeSeesTheStoredValues) {
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "count", "41"), FlushTiming::Now).ok);
    std::string seen;
    backend_.update(
        kProgram,
        [&](SettingsTree& tree) {
            const SettingsFolder* root = tree.findFolder("");
            seen = root != nullptr && root->find("count") != nullptr ? *root->find("count") : "";
        },
        FlushTiming::Now);
    EXPECT_EQ(seen, "41");
}

TEST_F(SettingsFileBackendTest, KeyWithoutCompanyLivesInTheConfigFolder) {
    ASSERT_TRUE(backend_.update("Sortwell", setValue("", "a", "1"), FlushTiming::Now).ok);
    EXPECT_TRUE(fs::is_regular_file(configDir() / "Sortwell.conf"));
    EXPECT_EQ(backend_.settingsFilePath("Sortwell"), (configDir() / "Sortwell.conf").string());
    EXPECT_EQ(backend_.read("Sortwell").status, SettingsRead::Status::Read);
    EXPECT_EQ(backend_.read(kProgram).status, SettingsRead::Status::Missing);
}

TEST_F(SettingsFileBackendTest, FollowsTheConfigFolderOfEachCall) {
    TempDir other;
    {
        ScopedEnv elsewhere("XDG_CONFIG_HOME", other.str());
        ASSERT_TRUE(backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Now).ok);
    }
    EXPECT_TRUE(fs::is_regular_file(other.path() / "tessaryn" / "Sortwell.conf"));
    EXPECT_EQ(backend_.read(kProgram).status, SettingsRead::Status::Missing);
}

TEST_F(SettingsFileBackendTest, GivenConfigFolderWinsOverTheEnvironment) {
    TempDir other;
    SettingsFileBackend fixed(other.str());
    ASSERT_TRUE(fixed.update(kProgram, setValue("", "a", "1"), FlushTiming::Now).ok);
    EXPECT_TRUE(fs::is_regular_file(other.path() / "tessaryn" / "Sortwell.conf"));
    EXPECT_FALSE(fs::exists(settingsFile()));
}

TEST_F(SettingsFileBackendTest, NewFoldersAreOwnerOnlyAndTheFileIsPrivate) {
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Now).ok);
    EXPECT_EQ(permissions(configDir()), 0700U);
    EXPECT_EQ(permissions(companyDir()), 0700U);
    EXPECT_EQ(permissions(settingsFile()), 0600U);
}

TEST_F(SettingsFileBackendTest, RefusesKeyNamesThatLeaveTheConfigFolder) {
    for (const std::string name : {"", "../escape", "a/../../escape", "a//b", "/abs", "a/", "."}) {
        const SettingsWrite write = backend_.update(name, setValue("", "a", "1"), FlushTiming::Now);
        EXPECT_FALSE(write.ok) << name;
        EXPECT_FALSE(write.problem.empty()) << name;
        EXPECT_EQ(backend_.read(name).status, SettingsRead::Status::Failed) << name;
    }
    EXPECT_EQ(fileNames(home_.path()), std::set<std::string>{});
}

TEST_F(SettingsFileBackendTest, BrokenFileIsMovedAsideOnRead) {
    const std::string broken = "not settings at all\n\0\xFF"s;
    writeBrokenFile(broken);

    const SettingsRead read = backend_.read(kProgram);
    EXPECT_EQ(read.status, SettingsRead::Status::Failed);
    ASSERT_EQ(brokenCopies().size(), 1U);
    const fs::path keptAs = companyDir() / brokenCopies().front();
    EXPECT_EQ(readFile(keptAs), broken);
    EXPECT_FALSE(fs::exists(settingsFile()));
    EXPECT_TRUE(contains(read.problem, "The settings file " + settingsFile().string() +
                                           " could not be read (line 1"))
        << read.problem;
    EXPECT_TRUE(contains(read.problem, "was kept as " + keptAs.string() + ".")) << read.problem;
    EXPECT_EQ(backend_.read(kProgram).status, SettingsRead::Status::Missing);
}

TEST_F(SettingsFileBackendTest, TruncatedFileIsMovedAsideToo) {
    SettingsTree tree = numberedTree("v");
    ASSERT_TRUE(backend_.update(kProgram, replaceWith(tree), FlushTiming::Now).ok);
    const std::string whole = readFile(settingsFile());
    writeFile(settingsFile(), whole.substr(0, whole.size() / 2));

    EXPECT_EQ(backend_.read(kProgram).status, SettingsRead::Status::Failed);
    ASSERT_EQ(brokenCopies().size(), 1U);
    EXPECT_EQ(readFile(companyDir() / brokenCopies().front()), whole.substr(0, whole.size() / 2));
}

TEST_F(SettingsFileBackendTest, SecondBrokenFileNeverReplacesAnEarlierOne) {
    writeBrokenFile("first broken\n");
    ASSERT_EQ(backend_.read(kProgram).status, SettingsRead::Status::Failed);
    ASSERT_EQ(brokenCopies().size(), 1U);
    const std::string firstCopy = brokenCopies().front();

    // Takes the names the next move could pick within the next seconds.
    const std::time_t now = std::time(nullptr);
    std::set<std::string> decoys;
    for (std::time_t when = now; when <= now + 2; ++when) {
        for (const std::string suffix : {"", "-2", "-3"}) {
            const std::string name = brokenNameAt(when) + suffix;
            if (name != firstCopy) {
                writeFile(companyDir() / name, "decoy");
                decoys.insert(name);
            }
        }
    }
    writeBrokenFile("second broken\n");

    const SettingsRead read = backend_.read(kProgram);
    EXPECT_EQ(read.status, SettingsRead::Status::Failed);
    EXPECT_EQ(readFile(companyDir() / firstCopy), "first broken\n");
    for (const std::string& decoy : decoys) {
        EXPECT_EQ(readFile(companyDir() / decoy), "decoy") << decoy;
    }
    std::vector<std::string> fresh;
    for (const std::string& name : brokenCopies()) {
        if (name != firstCopy && !decoys.contains(name)) {
            fresh.push_back(name);
        }
    }
    ASSERT_EQ(fresh.size(), 1U);
    EXPECT_EQ(readFile(companyDir() / fresh.front()), "second broken\n");
    EXPECT_TRUE(contains(read.problem, (companyDir() / fresh.front()).string())) << read.problem;
}

TEST_F(SettingsFileBackendTest, UpdateOverABrokenFileKeepsItAsideAndWritesFresh) {
    writeBrokenFile("[unclosed\n");

    const SettingsWrite write = backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Now);
    EXPECT_TRUE(write.ok) << write.problem;
    ASSERT_EQ(brokenCopies().size(), 1U);
    const fs::path keptAs = companyDir() / brokenCopies().front();
    EXPECT_TRUE(contains(write.problem, "was kept as " + keptAs.string())) << write.problem;
    EXPECT_EQ(readFile(keptAs), "[unclosed\n");

    SettingsTree expected;
    expected.folder("").set("a", "1");
    EXPECT_EQ(backend_.read(kProgram).tree, expected);
}

TEST_F(SettingsFileBackendTest, LeftoverTemporaryFilesDoNotDisturbReadOrUpdate) {
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Now).ok);
    writeFile(companyDir() / ".Sortwell.conf.Xy12Ab", "# Tessaryn Sortwell settings, form");
    writeFile(companyDir() / ".Sortwell.conf.tmp", "half a");

    SettingsFileBackend afterRestart;
    SettingsTree expected;
    expected.folder("").set("a", "1");
    EXPECT_EQ(afterRestart.read(kProgram).tree, expected);

    const SettingsWrite write =
        afterRestart.update(kProgram, setValue("", "b", "2"), FlushTiming::Now);
    EXPECT_TRUE(write.ok) << write.problem;
    expected.folder("").set("b", "2");
    EXPECT_EQ(afterRestart.read(kProgram).tree, expected);
    // Its own kind of leftover is cleared away; an unknown file is left alone.
    EXPECT_EQ(fileNames(companyDir()),
              (std::set<std::string>{"Sortwell.conf", ".Sortwell.conf.tmp"}));
}

TEST_F(SettingsFileBackendTest, RemoveProgramKeyTellsWhetherItExisted) {
    EXPECT_FALSE(backend_.removeProgramKey(kProgram));
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Now).ok);
    EXPECT_TRUE(backend_.removeProgramKey(kProgram));
    EXPECT_FALSE(fs::exists(settingsFile()));
    EXPECT_EQ(backend_.read(kProgram).status, SettingsRead::Status::Missing);
    EXPECT_FALSE(backend_.removeProgramKey(kProgram));
}

TEST_F(SettingsFileBackendTest, RemoveProgramKeyLeavesOtherKeys) {
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Now).ok);
    ASSERT_TRUE(backend_.update("tessaryn/Other", setValue("", "b", "2"), FlushTiming::Now).ok);
    EXPECT_TRUE(backend_.removeProgramKey(kProgram));
    EXPECT_EQ(backend_.read("tessaryn/Other").status, SettingsRead::Status::Read);
}

TEST_F(SettingsFileBackendTest, SoonWriteIsReadableAtOnceAndWaitsForFlush) {
    EXPECT_FALSE(backend_.hasUnflushedWrites());
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Soon).ok);
    EXPECT_TRUE(backend_.hasUnflushedWrites());

    SettingsFileBackend otherProcess;
    ASSERT_NE(otherProcess.read(kProgram).tree.findFolder(""), nullptr);
    EXPECT_EQ(*otherProcess.read(kProgram).tree.findFolder("")->find("a"), "1");

    backend_.flush();
    EXPECT_FALSE(backend_.hasUnflushedWrites());
    EXPECT_EQ(backend_.read(kProgram).status, SettingsRead::Status::Read);
    backend_.flush();
    EXPECT_FALSE(backend_.hasUnflushedWrites());
}

TEST_F(SettingsFileBackendTest, NowWriteCompletesAnEarlierSoonWrite) {
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Soon).ok);
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "b", "2"), FlushTiming::Now).ok);
    EXPECT_FALSE(backend_.hasUnflushedWrites());
}

TEST_F(SettingsFileBackendTest, RemovingTheKeyCompletesAnEarlierSoonWrite) {
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Soon).ok);
    EXPECT_TRUE(backend_.removeProgramKey(kProgram));
    EXPECT_FALSE(backend_.hasUnflushedWrites());
}

TEST_F(SettingsFileBackendTest, FailedFlushIsReportedByTheNextUpdate) {
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Soon).ok);
    fs::remove_all(configDir());
    backend_.flush();
    EXPECT_FALSE(backend_.hasUnflushedWrites());

    const SettingsWrite write = backend_.update(kProgram, setValue("", "b", "2"), FlushTiming::Now);
    EXPECT_TRUE(write.ok);
    EXPECT_TRUE(contains(write.problem, companyDir().string())) << write.problem;

    const SettingsWrite next = backend_.update(kProgram, setValue("", "c", "3"), FlushTiming::Now);
    EXPECT_EQ(next.problem, "");
}

TEST_F(SettingsFileBackendTest, WriteBelowARegularFileFailsWithReason) {
    writeFile(home_.path() / "plain", "x");
    ScopedEnv belowFile("XDG_CONFIG_HOME", (home_.path() / "plain" / "config").string());

    const SettingsWrite write = backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Now);
    EXPECT_FALSE(write.ok);
    EXPECT_TRUE(contains(write.problem, (home_.path() / "plain").string())) << write.problem;
    EXPECT_EQ(backend_.read(kProgram).status, SettingsRead::Status::Missing);
    EXPECT_FALSE(backend_.removeProgramKey(kProgram));
    EXPECT_EQ(readFile(home_.path() / "plain"), "x");
}

TEST_F(SettingsFileBackendTest, FolderInPlaceOfTheFileFailsTheWrite) {
    fs::create_directories(settingsFile());
    const SettingsWrite write = backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Now);
    EXPECT_FALSE(write.ok);
    EXPECT_TRUE(contains(write.problem, settingsFile().string())) << write.problem;
    EXPECT_TRUE(fs::is_directory(settingsFile()));
}

TEST_F(SettingsFileBackendTest, UnreadableFileFailsAndIsNotReplaced) {
    ASSERT_TRUE(backend_.update(kProgram, setValue("", "a", "1"), FlushTiming::Now).ok);
    const std::string before = readFile(settingsFile());
    fs::permissions(home_.path(), fs::perms(0755));
    fs::permissions(configDir(), fs::perms(0755));
    fs::permissions(companyDir(), fs::perms(0777));
    fs::permissions(settingsFile(), fs::perms::none);

    const std::string path = settingsFile().string();
    const int code = exitCodeAsNobody([&] {
        SettingsFileBackend other;
        const SettingsRead read = other.read(kProgram);
        if (read.status != SettingsRead::Status::Failed || !contains(read.problem, path)) {
            return 1;
        }
        const SettingsWrite write =
            other.update(kProgram, setValue("", "a", "2"), FlushTiming::Now);
        return !write.ok && contains(write.problem, path) ? 0 : 2;
    });
    if (code == kCouldNotDropRights) {
        GTEST_SKIP() << "cannot switch to an unprivileged user here";
    }
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(settingsFile()), before);
    EXPECT_EQ(fileNames(companyDir()), std::set<std::string>{"Sortwell.conf"});
}

TEST_F(SettingsFileBackendTest, KilledWriterLeavesTheOldOrTheNewTreeNeverAMix) {
    const SettingsTree oldTree = numberedTree("old-");
    const SettingsTree newTree = numberedTree("new-");
    ASSERT_TRUE(backend_.update(kProgram, replaceWith(oldTree), FlushTiming::Now).ok);

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<useconds_t> delay(0, 2000);
    int sawOld = 0;
    int sawNew = 0;
    for (int round = 0; round < 200; ++round) {
        const pid_t writer = startAlternatingWriter(oldTree, newTree);
        ASSERT_GT(writer, 0) << "the writer did not start";
        ::usleep(delay(random));
        ::kill(writer, SIGKILL);
        int status = 0;
        ::waitpid(writer, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own, round " << round;

        const SettingsRead read = SettingsFileBackend().read(kProgram);
        ASSERT_EQ(read.status, SettingsRead::Status::Read)
            << read.problem << " (round " << round << ", seed " << seed << ")";
        if (read.tree == oldTree) {
            ++sawOld;
        } else {
            ASSERT_EQ(read.tree, newTree) << "a mix in round " << round << ", seed " << seed;
            ++sawNew;
        }
    }
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);

    ASSERT_TRUE(SettingsFileBackend().update(kProgram, replaceWith(oldTree), FlushTiming::Now).ok);
    EXPECT_EQ(temporaryFiles(), std::vector<std::string>{});
}

}  // namespace
}  // namespace sortwell::platform::linux_host
