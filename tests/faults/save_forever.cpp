// Saves the settings store over and over, so that a script can kill it at any moment, and
// checks afterwards that the settings file holds one whole round: the last one saved or the
// one that was being saved, never a mix of both.
//
//   save_forever run <last saved round> [<rounds>]   saves the following rounds, printing
//                                                    "saved <round>" after each; no end
//                                                    without <rounds>
//   save_forever check <last reported round>         loads the file and prints "round <r>"
//
// XDG_CONFIG_HOME chooses where the file is; exit status 0 means all is well.
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "components/qdreg.h"

namespace {

constexpr int kEntries = 400;
constexpr int kFolders = 5;
const std::string kRoundKey = "round";

std::string folderOf(int index) {
    // Entries spread over the root and four folders, as the program's buttons and names are.
    const int folder = index % kFolders;
    return folder == 0 ? std::string() : "Folder" + std::to_string(folder);
}

std::string keyOf(int index) {
    return "entry" + std::to_string(index);
}

// Every value names its round, and its length changes from round to round, so a file cut
// short or spliced from two rounds cannot pass for a whole one.
std::string valueOf(long round, int index) {
    const auto length = static_cast<std::size_t>((round * 37 + index * 11) % 64);
    const char letter = static_cast<char>('a' + (round + index) % 26);
    return "r" + std::to_string(round) + "-i" + std::to_string(index) + "-" +
           std::string(length, letter);
}

std::optional<long> parseRound(std::string_view text) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

TQDReg makeStore() {
    TQDReg store(sortwell::platform::NativeHost());
    store.Programmname = "Sortwell";
    store.Firmenname = "tessaryn";
    return store;
}

// One line per call, in one write(), so that a kill never leaves half a line behind.
void report(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(STDOUT_FILENO, text.data(), text.size()) < 0) {
        std::perror("write");
    }
}

int run(long lastSaved, std::optional<long> rounds) {
    TQDReg store = makeStore();
    for (long round = lastSaved + 1; !rounds || round <= lastSaved + *rounds; ++round) {
        for (int i = 0; i < kEntries; ++i) {
            store.PushString(keyOf(i), valueOf(round, i), folderOf(i));
        }
        store.PushString(kRoundKey, std::to_string(round));
        if (!store.SaveToRegistry()) {
            std::fprintf(stderr, "round %ld not saved: %s\n", round, store.LastError().c_str());
            return 1;
        }
        if (!store.LastError().empty()) {
            std::fprintf(stderr, "round %ld saved with a problem: %s\n", round,
                         store.LastError().c_str());
            return 1;
        }
        report("saved " + std::to_string(round));
    }
    return 0;
}

// The problems of a loaded store that should hold round `round`, at most a few.
std::vector<std::string> mismatches(const TQDReg& store, long round) {
    std::vector<std::string> found;
    const auto note = [&found](std::string problem) {
        if (found.size() < 5) {
            found.push_back(std::move(problem));
        }
    };
    const auto expectedCount = static_cast<std::size_t>(kEntries + 1);
    if (store.Entries().size() != expectedCount) {
        note(std::to_string(store.Entries().size()) + " entries instead of " +
             std::to_string(expectedCount));
    }
    for (int i = 0; i < kEntries; ++i) {
        const std::string key = keyOf(i);
        const std::string folder = folderOf(i);
        if (!store.Exist(key, folder)) {
            note(folder + "/" + key + " is missing");
        } else if (const std::string value = store.Pop(key, "", folder);
                   value != valueOf(round, i)) {
            note(folder + "/" + key + " is \"" + value + "\", not from round " +
                 std::to_string(round));
        }
    }
    return found;
}

int check(long lastReported) {
    TQDReg store = makeStore();
    const bool loaded = store.LoadFromRegistry();
    if (!store.LastError().empty()) {
        std::fprintf(stderr, "loading reported: %s\n", store.LastError().c_str());
        return 1;
    }
    if (!loaded) {
        // Only a run killed before its first save may leave no file at all.
        if (lastReported == 0) {
            report("round 0");
            return 0;
        }
        std::fprintf(stderr, "no settings file, though round %ld was saved\n", lastReported);
        return 1;
    }
    const std::optional<long> round = parseRound(store.Pop(kRoundKey, ""));
    if (!round) {
        std::fprintf(stderr, "the round entry is \"%s\"\n", store.Pop(kRoundKey, "").c_str());
        return 1;
    }
    if (*round != lastReported && *round != lastReported + 1) {
        std::fprintf(stderr, "the file holds round %ld, expected %ld or %ld\n", *round,
                     lastReported, lastReported + 1);
        return 1;
    }
    const std::vector<std::string> wrong = mismatches(store, *round);
    for (const std::string& problem : wrong) {
        std::fprintf(stderr, "round %ld: %s\n", *round, problem.c_str());
    }
    if (!wrong.empty()) {
        return 1;
    }
    report("round " + std::to_string(*round));
    return 0;
}

int usage() {
    std::fprintf(stderr,
                 "usage: save_forever run <last saved round> [<rounds>]\n"
                 "       save_forever check <last reported round>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() < 2) {
        return usage();
    }
    const std::optional<long> round = parseRound(args[1]);
    if (!round) {
        return usage();
    }
    if (args[0] == "run" && args.size() <= 3) {
        std::optional<long> rounds;
        if (args.size() == 3) {
            rounds = parseRound(args[2]);
            if (!rounds) {
                return usage();
            }
        }
        return run(*round, rounds);
    }
    if (args[0] == "check" && args.size() == 2) {
        return check(*round);
    }
    return usage();
}
