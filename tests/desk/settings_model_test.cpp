#include "desk/settings_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/qdreg.h"
#include "config/sequence_language.h"
#include "fakes/fake_host.h"

namespace {

using sortwell::config::DefaultSequence;
using sortwell::desk::ApplyDefaults;
using sortwell::desk::LoadedSettings;
using sortwell::desk::LoadSettings;
using sortwell::desk::NameProblem;
using sortwell::desk::SaveReport;
using sortwell::desk::SaveSettings;
using sortwell::desk::SettingsSnapshot;
using sortwell::desk::TargetButton;
using sortwell::test::FakeHost;

std::vector<TargetButton> Buttons(int count) {
    std::vector<TargetButton> buttons;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        buttons.push_back({"/icons/" + n + ".ico", "B" + n, "/docs/%TAG/" + n, "Anna"});
    }
    return buttons;
}

SettingsSnapshot Filled() {
    SettingsSnapshot snapshot;
    snapshot.sequence = "WAITWINDOW:Scan\r\nENTER\r\nHANDLEDOCUMENT";
    snapshot.inputDir = "/home/user/Scans";
    snapshot.active = true;
    snapshot.attach = false;
    snapshot.autostart = false;
    snapshot.columnsText = "4";
    snapshot.buttons = Buttons(2);
    snapshot.names = {"Anna", "Ben"};
    return snapshot;
}

class SettingsModelTest : public ::testing::Test {
protected:
    SettingsModelTest() {
        store.Programmname = "Sortwell";
        store.Firmenname = "tessaryn";
    }

    // Save, write and read back through the per-user store, as the windows do.
    SaveReport SaveAndWrite(SettingsSnapshot& snapshot) {
        SaveReport report = SaveSettings(store, snapshot);
        EXPECT_TRUE(store.SaveToRegistry()) << store.LastError();
        return report;
    }

    LoadedSettings ReadBack() {
        EXPECT_TRUE(store.LoadFromRegistry()) << store.LastError();
        return LoadSettings(store);
    }

    FakeHost fakes;
    TQDReg store{fakes.host()};
};

TEST_F(SettingsModelTest, EverySettingComesBackAsSaved) {
    SettingsSnapshot saved = Filled();
    const SettingsSnapshot expected = saved;
    EXPECT_TRUE(SaveAndWrite(saved).ok());
    EXPECT_EQ(ReadBack().snapshot, expected);
}

TEST_F(SettingsModelTest, SavedUnderTheKnownKeys) {
    SettingsSnapshot snapshot = Filled();
    SaveSettings(store, snapshot);
    EXPECT_EQ(store.Pop("inputdir"), "/home/user/Scans");
    EXPECT_EQ(store.Pop("active"), "1");
    EXPECT_EQ(store.Pop("attach"), "0");
    EXPECT_EQ(store.Pop("autostart"), "0");
    EXPECT_EQ(store.Pop("columns"), "4");
    EXPECT_EQ(store.Pop("icon1"), "/icons/1.ico");
    EXPECT_EQ(store.Pop("caption1"), "B1");
    EXPECT_EQ(store.Pop("folder1"), "/docs/%TAG/1");
    EXPECT_EQ(store.Pop("hide1"), "Anna");
    EXPECT_EQ(store.Pop("name0"), "Anna");
    EXPECT_EQ(store.Pop("name1"), "Ben");
    EXPECT_FALSE(store.Exist("selectedname")) << "only picking a name stores it";
}

TEST_F(SettingsModelTest, NothingStoredGivesTheFirstStartState) {
    const LoadedSettings loaded = LoadSettings(store);
    EXPECT_TRUE(loaded.snapshot.sequence.empty());
    EXPECT_TRUE(loaded.snapshot.columnsText.empty());
    EXPECT_TRUE(loaded.snapshot.buttons.empty());
    EXPECT_TRUE(loaded.snapshot.names.empty());
    EXPECT_TRUE(loaded.snapshot.attach);
    EXPECT_TRUE(loaded.snapshot.autostart);
    EXPECT_FALSE(loaded.snapshot.active);
    EXPECT_TRUE(loaded.snapshot.watchInput) << "an absent key means the inbox is on";
}

TEST_F(SettingsModelTest, WatchInputIsStoredAsOneOrZero) {
    SettingsSnapshot snapshot = Filled();
    snapshot.watchInput = false;
    SaveAndWrite(snapshot);
    EXPECT_EQ(store.Pop("watchinput"), "0");
    EXPECT_FALSE(ReadBack().snapshot.watchInput);
    snapshot.watchInput = true;
    SaveAndWrite(snapshot);
    EXPECT_EQ(store.Pop("watchinput"), "1");
    EXPECT_TRUE(ReadBack().snapshot.watchInput);
}

// Lists

TEST_F(SettingsModelTest, ShorterButtonListBlanksTheOldTail) {
    SettingsSnapshot snapshot = Filled();
    snapshot.buttons = Buttons(5);
    SaveAndWrite(snapshot);
    snapshot.buttons = Buttons(3);
    SaveAndWrite(snapshot);

    for (const char* word : {"icon", "caption", "folder", "hide"}) {
        for (const int n : {3, 4}) {
            const std::string key = word + std::to_string(n);
            EXPECT_TRUE(store.Exist(key)) << key;
            EXPECT_EQ(store.Pop(key, "absent"), "") << key;
        }
    }
    EXPECT_EQ(ReadBack().snapshot.buttons, Buttons(3));
}

TEST_F(SettingsModelTest, ShorterNameListBlanksTheOldTail) {
    SettingsSnapshot snapshot = Filled();
    snapshot.names = {"Anna", "Ben", "Carl"};
    SaveAndWrite(snapshot);
    snapshot.names = {"Dora"};
    SaveAndWrite(snapshot);
    EXPECT_EQ(store.Pop("name1", "absent"), "");
    EXPECT_EQ(store.Pop("name2", "absent"), "");
    EXPECT_EQ(ReadBack().snapshot.names, std::vector<std::string>{"Dora"});
}

TEST_F(SettingsModelTest, ListsEndAtTheFirstEmptyLeadingKey) {
    store.Push("icon0", "/a.ico");
    store.Push("caption0", "A");
    store.Push("caption1", "lost");
    store.Push("icon2", "/c.ico");
    store.Push("name0", "Anna");
    store.Push("name1", "");
    store.Push("name2", "Carl");
    const SettingsSnapshot loaded = LoadSettings(store).snapshot;
    ASSERT_EQ(loaded.buttons.size(), 1U);
    EXPECT_EQ(loaded.buttons[0].caption, "A");
    EXPECT_EQ(loaded.names, std::vector<std::string>{"Anna"});
}

TEST_F(SettingsModelTest, TailCutOffByAGapIsNotBroughtBackByALongerList) {
    for (const int n : {0, 1, 3, 4}) {
        store.Push("icon" + std::to_string(n), "/stale.ico");
        store.Push("name" + std::to_string(n), "Stale");
    }
    SettingsSnapshot snapshot = LoadSettings(store).snapshot;
    ASSERT_EQ(snapshot.buttons.size(), 2U);
    snapshot.buttons = Buttons(4);
    snapshot.names = {"Anna", "Ben", "Carl", "Dora"};
    SaveSettings(store, snapshot);
    const SettingsSnapshot loaded = LoadSettings(store).snapshot;
    EXPECT_EQ(loaded.buttons, Buttons(4));
    EXPECT_EQ(loaded.names, snapshot.names);
}

TEST_F(SettingsModelTest, ButtonWithoutIconKeepsItsPlaceAndTheButtonsAfterIt) {
    SettingsSnapshot snapshot = Filled();
    snapshot.buttons = Buttons(3);
    snapshot.buttons[1].icon.clear();
    const std::vector<TargetButton> expected = snapshot.buttons;
    SaveAndWrite(snapshot);
    EXPECT_EQ(store.Pop("icon1"), "<none>") << "another installation must still read on";
    EXPECT_EQ(ReadBack().snapshot.buttons, expected);
}

TEST_F(SettingsModelTest, EmptyNameIsRefusedAndTheNamesAfterItAreKept) {
    EXPECT_EQ(NameProblem(""), "A name cannot be empty.");
    EXPECT_EQ(NameProblem(" "), "");
    SettingsSnapshot snapshot = Filled();
    snapshot.names = {"Anna", "", "Carl"};
    const SaveReport report = SaveAndWrite(snapshot);
    EXPECT_EQ(report.namesError, "A name cannot be empty.");
    EXPECT_FALSE(report.ok());
    EXPECT_EQ(ReadBack().snapshot.names, (std::vector<std::string>{"Anna", "Carl"}));
}

// The name selector

struct SelectedNameCase {
    const char* stored;  // nullptr: no "selectedname" key
    int selected;
};

class SelectedNameTest : public SettingsModelTest,
                         public ::testing::WithParamInterface<SelectedNameCase> {};

TEST_P(SelectedNameTest, WithThreeNames) {
    store.Push("name0", "Anna");
    store.Push("name1", "Ben");
    store.Push("name2", "Carl");
    if (GetParam().stored != nullptr) {
        store.Push("selectedname", GetParam().stored);
    }
    const LoadedSettings loaded = LoadSettings(store);
    EXPECT_TRUE(loaded.nameSelectorVisible);
    EXPECT_EQ(loaded.selectedName, GetParam().selected);
}

INSTANTIATE_TEST_SUITE_P(StoredIndex, SelectedNameTest,
                         ::testing::Values(SelectedNameCase{"7", 0}, SelectedNameCase{"2", 2},
                                           SelectedNameCase{"3", 0}, SelectedNameCase{"-1", -1},
                                           SelectedNameCase{"-5", -1}, SelectedNameCase{"x", 0},
                                           SelectedNameCase{"", 0}, SelectedNameCase{nullptr, 0},
                                           SelectedNameCase{" 1 ", 1}));

TEST_F(SettingsModelTest, SelectorIsHiddenWithoutNamesAndShownOnceOneIsSaved) {
    store.Push("selectedname", "0");
    LoadedSettings loaded = LoadSettings(store);
    EXPECT_FALSE(loaded.nameSelectorVisible);
    EXPECT_EQ(loaded.selectedName, -1);

    SettingsSnapshot snapshot = loaded.snapshot;
    snapshot.names = {"Anna"};
    SaveAndWrite(snapshot);
    loaded = ReadBack();
    EXPECT_TRUE(loaded.nameSelectorVisible);
    EXPECT_EQ(loaded.selectedName, 0);
}

// The automation sequence

TEST_F(SettingsModelTest, SequenceIsStoredOnOneLineWithGraveAccents) {
    SettingsSnapshot snapshot = Filled();
    snapshot.sequence = "WAITWINDOW:Scan\r\nENTER\r\nHANDLEDOCUMENT";
    SaveAndWrite(snapshot);
    EXPECT_EQ(store.Pop("sequence"), "WAITWINDOW:Scan`ENTER`HANDLEDOCUMENT");
    EXPECT_EQ(ReadBack().snapshot.sequence, "WAITWINDOW:Scan\r\nENTER\r\nHANDLEDOCUMENT");
}

TEST_F(SettingsModelTest, SequenceLineBreaksComeBackAsCrLf) {
    SettingsSnapshot snapshot = Filled();
    snapshot.sequence = "TAB\nSPACE\rESC\r\n";
    SaveSettings(store, snapshot);
    EXPECT_EQ(LoadSettings(store).snapshot.sequence, "TAB\r\nSPACE\r\nESC\r\n");
}

TEST_F(SettingsModelTest, GraveAccentTypedInTheSequenceComesBackAsLineBreak) {
    SettingsSnapshot snapshot = Filled();
    snapshot.sequence = "TYPE:a`b";
    SaveAndWrite(snapshot);
    EXPECT_EQ(ReadBack().snapshot.sequence, "TYPE:a\r\nb");
}

// Columns

struct ColumnsCase {
    const char* typed;
    const char* stored;
    const char* shownAfter;
};

class ColumnsTest : public SettingsModelTest, public ::testing::WithParamInterface<ColumnsCase> {};

TEST_P(ColumnsTest, SaveStoresTheNumberAndRepairsNonIntegers) {
    SettingsSnapshot snapshot = Filled();
    snapshot.columnsText = GetParam().typed;
    SaveSettings(store, snapshot);
    EXPECT_EQ(store.Pop("columns"), GetParam().stored);
    EXPECT_EQ(snapshot.columnsText, GetParam().shownAfter);
}

INSTANTIATE_TEST_SUITE_P(Typed, ColumnsTest,
                         ::testing::Values(ColumnsCase{"x", "3", "3"}, ColumnsCase{"", "3", "3"},
                                           ColumnsCase{"4x", "3", "3"}, ColumnsCase{"5", "5", "5"},
                                           ColumnsCase{" 2 ", "2", " 2 "},
                                           ColumnsCase{"0", "0", "0"},
                                           ColumnsCase{"-2", "-2", "-2"}));

// Start with the desktop session

TEST_F(SettingsModelTest, SaveRegistersOrRemovesTheStartup) {
    SettingsSnapshot snapshot = Filled();
    snapshot.autostart = true;
    SaveSettings(store, snapshot);
    EXPECT_EQ(fakes.autostart.entries.count("Tessaryn Sortwell"), 1U);
    snapshot.autostart = false;
    SaveSettings(store, snapshot);
    EXPECT_TRUE(fakes.autostart.entries.empty());
}

TEST_F(SettingsModelTest, RefusedStartupIsReportedOnceAndTheRestIsSaved) {
    fakes.autostart.refuseWith = "Permission denied";
    SettingsSnapshot snapshot = Filled();
    snapshot.columnsText = "x";
    snapshot.buttons = Buttons(3);
    const SaveReport report = SaveAndWrite(snapshot);

    EXPECT_EQ(report.startupError,
              "Failed to delete data for 'Tessaryn Sortwell'\nPermission denied");
    EXPECT_TRUE(report.namesError.empty());
    const SettingsSnapshot loaded = ReadBack().snapshot;
    EXPECT_EQ(loaded.columnsText, "3");
    EXPECT_EQ(loaded.buttons, Buttons(3));
    EXPECT_EQ(loaded.names, (std::vector<std::string>{"Anna", "Ben"}));
}

// Load Defaults

TEST_F(SettingsModelTest, DefaultsResetAutomationSwitchesAndColumnsOnly) {
    SettingsSnapshot snapshot = Filled();
    snapshot.watchInput = false;
    SaveAndWrite(snapshot);
    store.Push("selectedname", "1");

    EXPECT_EQ(ApplyDefaults(store), "");
    EXPECT_TRUE(store.SaveToRegistry());
    const LoadedSettings loaded = ReadBack();

    EXPECT_EQ(store.Pop("sequence"), DefaultSequence()) << "stored with its line breaks";
    EXPECT_EQ(loaded.snapshot.sequence, DefaultSequence());
    EXPECT_FALSE(loaded.snapshot.active);
    EXPECT_TRUE(loaded.snapshot.attach);
    EXPECT_TRUE(loaded.snapshot.autostart);
    EXPECT_EQ(store.Pop("watchinput"), "1");
    EXPECT_TRUE(loaded.snapshot.watchInput);
    EXPECT_EQ(loaded.snapshot.columnsText, "3");
    EXPECT_EQ(fakes.autostart.entries.count("Tessaryn Sortwell"), 1U);
    EXPECT_EQ(loaded.snapshot.buttons, snapshot.buttons);
    EXPECT_EQ(loaded.snapshot.names, snapshot.names);
    EXPECT_EQ(loaded.snapshot.inputDir, snapshot.inputDir);
    EXPECT_EQ(loaded.selectedName, 1);
}

TEST_F(SettingsModelTest, DefaultsStillSetColumnsWhenStartupIsRefused) {
    fakes.autostart.refuseWith = "Permission denied";
    store.Push("columns", "7");
    EXPECT_EQ(ApplyDefaults(store),
              "Failed to set data for 'Tessaryn Sortwell'\nPermission denied");
    EXPECT_EQ(store.Pop("columns"), "3");
    EXPECT_EQ(store.Pop("autostart"), "1");
}

}  // namespace
