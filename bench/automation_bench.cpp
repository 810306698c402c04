// The window list refresh runs every 500 ms and a step every 200 ms on the user-interface
// thread, and a long "TYPE:" text is planned in one step: all must stay far below what a user
// can notice, even on a crowded desktop.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "config/sequence_language.h"
#include "config/sequence_step.h"
#include "config/type_text.h"
#include "config/window_list.h"

namespace {

using sortwell::config::DecideStep;
using sortwell::config::DefaultSequence;
using sortwell::config::TypeText;
using sortwell::config::WindowList;
using sortwell::platform::WindowInfo;

// `count` windows with realistic titles, the scanner's at the back.
std::vector<WindowInfo> Desktop(int count) {
    std::vector<WindowInfo> windows;
    for (int i = 0; i + 1 < count; ++i) {
        windows.push_back({static_cast<std::uint64_t>(0x1000000 + i), 1000 + i,
                           "Document " + std::to_string(i) + " \xE2\x80\x94 Text Editor"});
    }
    windows.push_back({0x2000000, 4242, "ScanSnap QuickMenu"});
    return windows;
}

void BM_RefreshWindowList(benchmark::State& state) {
    const std::vector<WindowInfo> windows = Desktop(static_cast<int>(state.range(0)));
    WindowList list;
    for (auto _ : state) {
        list.Refresh(windows);
        benchmark::DoNotOptimize(list.Entries().data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RefreshWindowList)->Arg(20)->Arg(500);

void BM_StepThroughDefaultSequence(benchmark::State& state) {
    WindowList list;
    list.Refresh(Desktop(static_cast<int>(state.range(0))));
    const std::string sequence = DefaultSequence();
    for (auto _ : state) {
        for (int line = 0; line <= 11; ++line) {
            benchmark::DoNotOptimize(DecideStep(line, sequence, list));
        }
    }
    state.SetItemsProcessed(state.iterations() * 12);
}
BENCHMARK(BM_StepThroughDefaultSequence)->Arg(20)->Arg(500);

void BM_PlanTypeText(benchmark::State& state) {
    std::string text;
    while (text.size() < static_cast<std::size_t>(state.range(0))) {
        text += "Invoice 2024 \xC3\x84nderung\tTotal: 12,50 \xE2\x82\xAC\n";
    }
    const auto shiftState = [](char32_t c) { return c >= U'A' && c <= U'Z' ? 1 : 0; };
    for (auto _ : state) {
        benchmark::DoNotOptimize(TypeText(text, shiftState));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_PlanTypeText)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
