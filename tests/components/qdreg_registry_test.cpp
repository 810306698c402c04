#include <gtest/gtest.h>

#include "components/qdreg.h"
#include "fakes/fake_host.h"
#include "platform/linux/settings_file_backend.h"
#include "support/temp_dir.h"

namespace {

using sortwell::platform::FlushTiming;
using sortwell::test::FakeHost;
using sortwell::test::ScopedEnv;
using sortwell::test::TempDir;
using Entries = std::vector<TQDReg::Entry>;

class RegistryTest : public ::testing::Test {
protected:
    RegistryTest() {
        reg.Programmname = "Sortwell";
        reg.Firmenname = "tessaryn";
    }
    FakeHost fakes;
    TQDReg reg{fakes.host()};
};

TEST_F(RegistryTest, ProgramPathJoinsCompanyAndProgram) {
    EXPECT_EQ(reg.ProgramPath(), "tessaryn/Sortwell");
    reg.Firmenname = "";
    EXPECT_EQ(reg.ProgramPath(), "Sortwell");
    reg.Push("a", "1");
    ASSERT_TRUE(reg.SaveToRegistry());
    EXPECT_EQ(fakes.settings.keys.count("Sortwell"), 1U);
}

TEST_F(RegistryTest, SaveWritesTheWholeStoreInOneWrite) {
    for (int i = 0; i < 500; ++i) {
        reg.PushString("k" + std::to_string(i), std::to_string(i), i % 2 ? "" : "f");
    }
    ASSERT_TRUE(reg.SaveToRegistry());
    EXPECT_EQ(fakes.settings.updates, 1);
    EXPECT_EQ(fakes.settings.lastTiming, FlushTiming::Now);
}

TEST_F(RegistryTest, LoadGivesRootEntriesFirstThenEachFolder) {
    reg.PushString("x", "1", "f");
    reg.Push("a", "2");
    reg.PushString("y", "3", "g");
    reg.Push("b", "4");
    ASSERT_TRUE(reg.SaveToRegistry());
    TQDReg other{fakes.host()};
    other.Programmname = "Sortwell";
    other.Firmenname = "tessaryn";
    other.Push("stale", "gone after load");
    ASSERT_TRUE(other.LoadFromRegistry());
    const Entries expected = {{"a", "2", ""}, {"b", "4", ""}, {"x", "1", "f"}, {"y", "3", "g"}};
    EXPECT_EQ(other.Entries(), expected);
}

TEST_F(RegistryTest, SavingNeverDeletesValuesTheStoreNoLongerHas) {
    reg.Push("old", "1");
    reg.Push("kept", "2");
    ASSERT_TRUE(reg.SaveToRegistry());
    reg.Delete("old");
    ASSERT_TRUE(reg.SaveToRegistry());
    ASSERT_TRUE(reg.LoadFromRegistry());
    EXPECT_EQ(reg.Pop("old"), "1");
}

TEST_F(RegistryTest, MissingProgramKey) {
    reg.Push("keep", "1");
    EXPECT_FALSE(reg.AppendFromRegistry());
    EXPECT_EQ(reg.Pop("keep"), "1");
    EXPECT_FALSE(reg.LoadFromRegistry());
    EXPECT_TRUE(reg.Entries().empty());
    EXPECT_FALSE(reg.ClearRegistry());
}

TEST_F(RegistryTest, ClearRemovesTheProgramKeyWithItsFolders) {
    reg.Push("a", "1");
    reg.PushString("b", "2", "f");
    ASSERT_TRUE(reg.SaveToRegistry());
    EXPECT_TRUE(reg.ClearRegistry());
    EXPECT_FALSE(reg.LoadFromRegistry());
}

TEST_F(RegistryTest, SingleValuesAndSingleFolders) {
    ASSERT_TRUE(reg.RawSaveRegistryValue("a", "1", ""));
    ASSERT_TRUE(reg.RawSaveRegistryValue("b", "2", "f"));
    ASSERT_TRUE(reg.RawSaveRegistryValue("c", "3", "g"));
    EXPECT_TRUE(reg.RawLoadFolderFormRegistry("f"));
    EXPECT_FALSE(reg.RawLoadFolderFormRegistry("missing"));
    const Entries onlyF = {{"b", "2", "f"}};
    EXPECT_EQ(reg.Entries(), onlyF);

    EXPECT_TRUE(reg.RawClearRegistry("f"));
    EXPECT_FALSE(reg.RawClearRegistry("f"));
    ASSERT_TRUE(reg.LoadFromRegistry());
    const Entries rest = {{"a", "1", ""}, {"c", "3", "g"}};
    EXPECT_EQ(reg.Entries(), rest);
}

TEST_F(RegistryTest, RefusedWriteFailsWithTheReason) {
    fakes.settings.refuseWritesWith = "disk full";
    reg.Push("a", "1");
    EXPECT_FALSE(reg.SaveToRegistry());
    EXPECT_EQ(reg.LastError(), "disk full");
    fakes.settings.refuseWritesWith.clear();
    EXPECT_TRUE(reg.SaveToRegistry());
    EXPECT_TRUE(reg.LastError().empty()) << "each operation reports only its own problem";
}

TEST_F(RegistryTest, KeystrokeSavesMayLetTheFlushTrail) {
    reg.Push("lasttag", "invoice");
    ASSERT_TRUE(reg.SaveToRegistry(FlushTiming::Soon));
    EXPECT_EQ(fakes.settings.lastTiming, FlushTiming::Soon);
    reg.FlushRegistry();
    EXPECT_EQ(fakes.settings.flushes, 1);
}

// The same operations against the real per-user file.
class RegistryFileTest : public ::testing::Test {
protected:
    RegistryFileTest() {
        reg.Programmname = "Sortwell";
        reg.Firmenname = "tessaryn";
    }
    std::filesystem::path settingsFile() const {
        return config.path() / "tessaryn" / "Sortwell.conf";
    }

    TempDir config;
    ScopedEnv configHome{"XDG_CONFIG_HOME", config.str()};
    sortwell::platform::linux_host::SettingsFileBackend backend;
    FakeHost fakes;
    sortwell::platform::Host host = [this] {
        sortwell::platform::Host h = fakes.host();
        h.settings = &backend;
        return h;
    }();
    TQDReg reg{host};
};

TEST_F(RegistryFileTest, HostileKeysAndValuesComeBackByteForByte) {
    std::string everyByte;
    for (int c = 0; c < 256; ++c) {
        everyByte += static_cast<char>(c);
    }
    const Entries hostile = {
        {"line\r\nbreak", "a\nb\rc\r\n", ""}, {"a=b", "=x=", ""},     {"[section]", "[v]", ""},
        {"  blanks  ", "  both ends  ", ""},  {"#hash", ";semi", ""}, {"bytes", everyByte, ""},
        {everyByte, "key of every byte", ""}, {"empty", "", ""},      {"k", "in folder", everyByte},
        {"k", "nested", "a\\b/c]d"}};
    for (const auto& entry : hostile) {
        reg.Add(entry.key, entry.value, entry.folder);
    }
    ASSERT_TRUE(reg.SaveToRegistry()) << reg.LastError();
    ASSERT_TRUE(std::filesystem::exists(settingsFile()));

    TQDReg loaded{host};
    loaded.Programmname = "Sortwell";
    loaded.Firmenname = "tessaryn";
    ASSERT_TRUE(loaded.LoadFromRegistry()) << loaded.LastError();
    EXPECT_EQ(loaded.Entries(), hostile);
}

TEST_F(RegistryFileTest, BrokenFileIsKeptAsideAndReported) {
    std::filesystem::create_directories(settingsFile().parent_path());
    sortwell::test::writeFile(settingsFile(), "not a settings file\n");
    EXPECT_FALSE(reg.LoadFromRegistry());
    EXPECT_NE(reg.LastError().find("was kept as"), std::string::npos) << reg.LastError();

    reg.Push("a", "1");
    ASSERT_TRUE(reg.SaveToRegistry()) << reg.LastError();
    int keptAside = 0;
    for (const auto& file : std::filesystem::directory_iterator(settingsFile().parent_path())) {
        if (sortwell::test::readFile(file.path()) == "not a settings file\n") {
            ++keptAside;
        }
    }
    EXPECT_EQ(keptAside, 1);
    ASSERT_TRUE(reg.LoadFromRegistry());
    EXPECT_EQ(reg.Pop("a"), "1");
}

}  // namespace
