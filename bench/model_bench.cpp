// Saving and loading every setting: "&Apply", "&Ok" and every start run these, so even a long
// button list must go by unnoticed. The store scans linearly, so this is where size shows.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "components/qdreg.h"
#include "desk/settings_model.h"
#include "tests/fakes/fake_host.h"

namespace {

using sortwell::desk::LoadSettings;
using sortwell::desk::SaveSettings;
using sortwell::desk::SettingsSnapshot;
using sortwell::desk::TargetButton;

SettingsSnapshot Snapshot(int buttons) {
    SettingsSnapshot snapshot;
    snapshot.sequence = "WAITWINDOW:Scan\r\nSWITCH:Scan\r\nENTER\r\nHANDLEDOCUMENT";
    snapshot.inputDir = "/home/user/Scans";
    snapshot.autostart = false;
    snapshot.columnsText = "3";
    for (int i = 0; i < buttons; ++i) {
        const std::string n = std::to_string(i);
        snapshot.buttons.push_back(TargetButton{"/home/user/icons/target" + n + ".ico",
                                                "Target " + n,
                                                "/home/user/Documents/%YEAR/%TAG/" + n, "Ben"});
    }
    snapshot.names = {"Anna", "Ben", "Carl", "Dora"};
    return snapshot;
}

void BM_SaveSettingsOverPreviousSave(benchmark::State& state) {
    sortwell::test::FakeHost fakes;
    TQDReg store{fakes.host()};
    SettingsSnapshot snapshot = Snapshot(static_cast<int>(state.range(0)));
    SaveSettings(store, snapshot);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SaveSettings(store, snapshot));
    }
}
BENCHMARK(BM_SaveSettingsOverPreviousSave)->Arg(12)->Arg(60)->Arg(250);

void BM_LoadSettings(benchmark::State& state) {
    sortwell::test::FakeHost fakes;
    TQDReg store{fakes.host()};
    SettingsSnapshot snapshot = Snapshot(static_cast<int>(state.range(0)));
    SaveSettings(store, snapshot);
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadSettings(store));
    }
}
BENCHMARK(BM_LoadSettings)->Arg(12)->Arg(60)->Arg(250);

}  // namespace

BENCHMARK_MAIN();
