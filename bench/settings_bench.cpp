// Saving and loading the settings, each beside a bare write of the same bytes.
// Run from a folder on the disk to be measured: the files go to ./bench-files.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "components/qdreg.h"

namespace {

const std::filesystem::path& BenchDir() {
    static const std::filesystem::path dir = [] {
        auto path = std::filesystem::current_path() / "bench-files";
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        setenv("XDG_CONFIG_HOME", path.c_str(), 1);
        return path;
    }();
    return dir;
}

// A store shaped like the program's: buttons with paths and patterns, names, a sequence.
void Fill(TQDReg& reg, int entries) {
    reg.Programmname = "Sortwell";
    reg.Firmenname = "tessaryn";
    reg.IniFileName = "QSortwell.ini";
    reg.IniFileDir = BenchDir().string();
    // Saving never deletes values, so each benchmark starts from no settings file.
    reg.ClearRegistry();
    for (int i = 0; i < entries; ++i) {
        const std::string n = std::to_string(i / 4);
        switch (i % 4) {
            case 0:
                reg.Push("icon" + n, "/usr/share/icons/hicolor/32x32/apps/folder" + n + ".ico");
                break;
            case 1:
                reg.Push("caption" + n, "Insurance " + n);
                break;
            case 2:
                reg.Push("folder" + n, "/home/user/Archive/%YEAR/%MONTH %TAG/Insurance " + n);
                break;
            default:
                reg.Push("hide" + n, "Anna,Ben");
        }
    }
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void BM_SaveToRegistry(benchmark::State& state) {
    TQDReg reg(sortwell::platform::NativeHost());
    Fill(reg, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!reg.SaveToRegistry()) {
            state.SkipWithError(reg.LastError().c_str());
        }
    }
}

// A keystroke in the tag field: one push and a save whose flush may trail.
void BM_SaveToRegistryKeystroke(benchmark::State& state) {
    TQDReg reg(sortwell::platform::NativeHost());
    Fill(reg, static_cast<int>(state.range(0)));
    int keystroke = 0;
    for (auto _ : state) {
        reg.Push("lasttag", "invoice " + std::to_string(++keystroke));
        if (!reg.SaveToRegistry(sortwell::platform::FlushTiming::Soon)) {
            state.SkipWithError(reg.LastError().c_str());
        }
    }
    reg.FlushRegistry();
}

void BM_LoadFromRegistry(benchmark::State& state) {
    TQDReg reg(sortwell::platform::NativeHost());
    Fill(reg, static_cast<int>(state.range(0)));
    reg.SaveToRegistry();
    for (auto _ : state) {
        if (!reg.LoadFromRegistry()) {
            state.SkipWithError(reg.LastError().c_str());
        }
    }
}

void BM_SaveToFile(benchmark::State& state) {
    TQDReg reg(sortwell::platform::NativeHost());
    Fill(reg, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!reg.SaveToFile()) {
            state.SkipWithError(reg.LastError().c_str());
        }
    }
}

void BM_LoadFromFile(benchmark::State& state) {
    TQDReg reg(sortwell::platform::NativeHost());
    Fill(reg, static_cast<int>(state.range(0)));
    reg.SaveToFile();
    for (auto _ : state) {
        if (!reg.LoadFromFile()) {
            state.SkipWithError("load failed");
        }
    }
}

// The floor: the settings file's bytes written to a new file, fsync, rename over the old;
// with `syncFolder`, also the fsync of the folder that makes the rename itself durable.
void BareWrite(benchmark::State& state, bool syncFolder) {
    TQDReg reg(sortwell::platform::NativeHost());
    Fill(reg, static_cast<int>(state.range(0)));
    reg.SaveToRegistry();
    const std::string bytes = ReadAll(BenchDir() / "tessaryn" / "Sortwell.conf");
    const std::string target = (BenchDir() / "bare.conf").string();
    const std::string temporary = target + ".tmp";
    for (auto _ : state) {
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const bool written =
            fd >= 0 &&
            write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
            fsync(fd) == 0;
        if (fd >= 0) {
            close(fd);
        }
        if (!written || rename(temporary.c_str(), target.c_str()) != 0) {
            state.SkipWithError("bare write failed");
        }
        if (syncFolder) {
            const int folder = open(BenchDir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (folder < 0 || fsync(folder) != 0) {
                state.SkipWithError("folder sync failed");
            }
            if (folder >= 0) {
                close(folder);
            }
        }
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}

void BM_BareWriteFsyncRename(benchmark::State& state) {
    BareWrite(state, false);
}

void BM_BareWriteFsyncRenameFsyncFolder(benchmark::State& state) {
    BareWrite(state, true);
}

}  // namespace

BENCHMARK(BM_SaveToRegistry)->Arg(50)->Arg(500);
BENCHMARK(BM_BareWriteFsyncRename)->Arg(50)->Arg(400)->Arg(500);
BENCHMARK(BM_BareWriteFsyncRenameFsyncFolder)->Arg(50)->Arg(400)->Arg(500);
BENCHMARK(BM_SaveToRegistryKeystroke)->Arg(50)->Arg(400)->Arg(500);
BENCHMARK(BM_LoadFromRegistry)->Arg(50)->Arg(500);
BENCHMARK(BM_SaveToFile)->Arg(50)->Arg(500);
BENCHMARK(BM_LoadFromFile)->Arg(50)->Arg(500);

BENCHMARK_MAIN();
