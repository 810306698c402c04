// The detection decision over a real input folder, beside a bare readdir + sort of the same
// folder. Run from a folder on the disk to be measured: the files go to ./bench-files.
#include <benchmark/benchmark.h>
#include <dirent.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "desk/detection.h"
#include "platform/linux/posix_document_files.h"

namespace {

std::string ScanName(int i) {
    std::string digits = std::to_string(i);
    return "scan" + std::string(6 - digits.size(), '0') + digits + ".pdf";
}

// A folder of `count` scans; the last one is the new scan that the decision must find.
const std::filesystem::path& InputFolder(int count) {
    static std::filesystem::path folder;
    static int filled = -1;
    if (filled != count) {
        folder = std::filesystem::current_path() / "bench-files" / "detection";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        for (int i = 0; i < count; ++i) {
            std::ofstream(folder / ScanName(i)) << "%PDF";
        }
        filled = count;
    }
    return folder;
}

void BM_BareReaddirAndSort(benchmark::State& state) {
    const std::string folder = InputFolder(static_cast<int>(state.range(0))).string();
    for (auto _ : state) {
        std::vector<std::string> names;
        const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
        while (const dirent* entry = ::readdir(listing.get())) {
            names.emplace_back(entry->d_name);
        }
        std::ranges::sort(names);
        benchmark::DoNotOptimize(names.data());
    }
}

void BM_ListingAndDetectionDecision(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string folder = InputFolder(count).string();
    sortwell::platform::linux_host::PosixDocumentFiles files;
    std::vector<std::string> baseline = files.listDocuments(folder).names;
    baseline.pop_back();
    sortwell::desk::KnownFiles known;
    known.TakeBaseline(baseline);
    for (auto _ : state) {
        const auto listing = files.listDocuments(folder);
        std::string found = sortwell::desk::FindNewDocument(listing.names, known);
        if (found != ScanName(count - 1)) {
            state.SkipWithError("the new scan was not found");
        }
        benchmark::DoNotOptimize(found.data());
    }
}

void BM_DetectionDecisionOnly(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    std::vector<std::string> listing;
    listing.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        listing.push_back(ScanName(i));
    }
    sortwell::desk::KnownFiles known;
    known.TakeBaseline({listing.begin(), listing.end() - 1});
    for (auto _ : state) {
        std::string found = sortwell::desk::FindNewDocument(listing, known);
        benchmark::DoNotOptimize(found.data());
    }
}

}  // namespace

BENCHMARK(BM_BareReaddirAndSort)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListingAndDetectionDecision)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DetectionDecisionOnly)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
