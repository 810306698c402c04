// Runs one document or settings operation of the core and prints what it answered, so that
// scripts can put the file system in a bad state first and look at the result afterwards.
//
//   fault_probe move <source> <target>   moveDocument
//   fault_probe mkdir <folder>           createFolder
//   fault_probe list <folder>            listDocuments
//   fault_probe clean <folder>           removeLeftoverTemporaries
//   fault_probe save <value>             stores "probe" = <value> with SaveToRegistry
//   fault_probe load                     prints "probe" after LoadFromRegistry
//
// Each prints "ok" or "refused: <reason>"; exit status 0 for ok, 1 for refused, 2 for usage.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "components/qdreg.h"
#include "faults/probe_answer.h"
#include "platform/linux/posix_document_files.h"

namespace {

using sortwell::platform::linux_host::PosixDocumentFiles;
using sortwell::test::answer;

TQDReg makeStore() {
    TQDReg store(sortwell::platform::NativeHost());
    store.Programmname = "Sortwell";
    store.Firmenname = "tessaryn";
    return store;
}

int save(const std::string& value) {
    TQDReg store = makeStore();
    store.PushString("probe", value);
    // Enough entries in folders that a save is more than one line.
    for (int i = 0; i < 50; ++i) {
        store.PushString("entry" + std::to_string(i), value, "Folder" + std::to_string(i % 3));
    }
    const bool saved = store.SaveToRegistry();
    if (saved && store.LastError().empty()) {
        return answer({});
    }
    std::printf("SaveToRegistry returned %s\n", saved ? "true" : "false");
    return answer(store.LastError().empty() ? "(no LastError text)" : store.LastError());
}

int load() {
    TQDReg store = makeStore();
    const bool loaded = store.LoadFromRegistry();
    if (!loaded || !store.LastError().empty()) {
        std::printf("LoadFromRegistry returned %s\n", loaded ? "true" : "false");
        return answer(store.LastError().empty() ? "(no LastError text)" : store.LastError());
    }
    std::printf("probe=%s\n", store.Pop("probe", "").c_str());
    return answer({});
}

int list(const std::string& folder) {
    PosixDocumentFiles files;
    const auto listing = files.listDocuments(folder);
    for (const std::string& name : listing.names) {
        std::printf("document: %s\n", name.c_str());
    }
    return answer(listing.problem);
}

int usage() {
    std::fprintf(stderr,
                 "usage: fault_probe move <source> <target> | mkdir <folder> | list <folder> | "
                 "clean <folder> | save <value> | load\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return usage();
    }
    const std::string_view command = args[0];
    PosixDocumentFiles files;
    if (command == "move" && args.size() == 3) {
        return answer(files.moveDocument(args[1], args[2]));
    }
    if (command == "mkdir" && args.size() == 2) {
        return answer(files.createFolder(args[1]));
    }
    if (command == "list" && args.size() == 2) {
        return list(args[1]);
    }
    if (command == "clean" && args.size() == 2) {
        return answer(files.removeLeftoverTemporaries(args[1]));
    }
    if (command == "save" && args.size() == 2) {
        return save(args[1]);
    }
    if (command == "load" && args.size() == 1) {
        return load();
    }
    return usage();
}
