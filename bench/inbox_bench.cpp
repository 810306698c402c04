// Folding a listing into the inbox: after a burst into a large folder, and for a listing that
// brings nothing new. Runs on the event loop, so it bounds how long a burst can hold the desk.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "desk/inbox.h"

namespace {

using sortwell::desk::Inbox;
using sortwell::desk::InboxEntry;

std::vector<InboxEntry> Listing(int first, int count) {
    std::vector<InboxEntry> listing;
    listing.reserve(static_cast<std::size_t>(count));
    const auto start = std::chrono::system_clock::time_point{} + std::chrono::hours(24 * 365 * 50);
    for (int i = first; i < first + count; ++i) {
        listing.push_back({"scan" + std::to_string(i) + ".pdf", start + std::chrono::seconds(i)});
    }
    return listing;
}

// 10,000 waiting, then one listing with 1,000 more.
void BM_BurstIntoAFullFolder(benchmark::State& state) {
    const std::vector<InboxEntry> before = Listing(0, 10000);
    std::vector<InboxEntry> after = before;
    const std::vector<InboxEntry> burst = Listing(10000, 1000);
    after.insert(after.end(), burst.begin(), burst.end());
    for (auto _ : state) {
        state.PauseTiming();
        Inbox inbox;
        inbox.Update(before, "");
        state.ResumeTiming();
        benchmark::DoNotOptimize(inbox.Update(after, ""));
    }
}
BENCHMARK(BM_BurstIntoAFullFolder)->Unit(benchmark::kMillisecond);

// The same 11,000 files listed again: nothing joins.
void BM_ListingWithNothingNew(benchmark::State& state) {
    const std::vector<InboxEntry> listing = Listing(0, 11000);
    Inbox inbox;
    inbox.Update(listing, "");
    for (auto _ : state) {
        benchmark::DoNotOptimize(inbox.Update(listing, ""));
    }
}
BENCHMARK(BM_ListingWithNothingNew)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
