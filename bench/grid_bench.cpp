// Laying out the target grid and reading hide texts: every rebuild and every name pick runs
// these, so they must stay far below what a user can notice.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "config/hide_list.h"
#include "desk/button_grid.h"

namespace {

using sortwell::config::ApplyHide;
using sortwell::config::GetHide;
using sortwell::config::IsHidden;
using sortwell::config::VisibleForList;
using sortwell::desk::LayOutButtons;
using sortwell::desk::NameSelection;
using sortwell::desk::PanelSize;
using sortwell::desk::TargetButton;

std::string NameOf(int i) {
    return "Person" + std::to_string(i);
}

// Every button is hidden for a few of `names` people.
std::vector<TargetButton> Buttons(int count, int names) {
    std::vector<TargetButton> buttons;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        std::string hide;
        for (int k = i % 3; k < names; k += 3) {
            hide += (hide.empty() ? "" : ",") + NameOf(k);
        }
        buttons.push_back({"/home/user/icons/target" + n + ".ico", "Target " + n,
                           "/home/user/Documents/%YEAR/%TAG/" + n, hide});
    }
    return buttons;
}

VisibleForList Names(int count) {
    VisibleForList list;
    for (int i = 0; i < count; ++i) {
        list.push_back({NameOf(i), i % 2 == 0});
    }
    return list;
}

void BM_LayOutButtons(benchmark::State& state) {
    const auto buttons = Buttons(static_cast<int>(state.range(0)), 6);
    const NameSelection selection{true, NameOf(4)};
    for (auto _ : state) {
        benchmark::DoNotOptimize(LayOutButtons(buttons, "3", selection, PanelSize{470, 268}));
    }
}
BENCHMARK(BM_LayOutButtons)->Arg(12)->Arg(200);

void BM_IsHidden(benchmark::State& state) {
    std::string hide;
    for (int i = 0; i < state.range(0); ++i) {
        hide += (hide.empty() ? "" : ",") + NameOf(i);
    }
    const std::string last = NameOf(static_cast<int>(state.range(0)) - 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(IsHidden(hide, last));
    }
}
BENCHMARK(BM_IsHidden)->Arg(6)->Arg(200);

void BM_ApplyThenGetHide(benchmark::State& state) {
    VisibleForList list = Names(static_cast<int>(state.range(0)));
    const std::string hide = GetHide(list).hide;
    for (auto _ : state) {
        ApplyHide(list, hide);
        benchmark::DoNotOptimize(GetHide(list));
    }
}
BENCHMARK(BM_ApplyThenGetHide)->Arg(6)->Arg(200);

}  // namespace

BENCHMARK_MAIN();
