#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "components/qdreg.h"

namespace sortwell::config {

// Where the confirmed sequences are kept in the settings store.
inline constexpr std::string_view kConfirmedRunsKey = "confirmedruns";
// How many confirmed sequences are kept; the oldest beyond are asked about again.
inline constexpr std::size_t kConfirmationsKept = 32;

// The programs the RUN lines of `sequence` start, each as written after "RUN:", in line order
// and once each.
std::vector<std::string> RunPrograms(std::string_view sequence);

// What a confirmation of `sequence` is kept as: a digest of the machine's key and the lines, so
// the line breaks do not matter and a settings file copied from elsewhere confirms nothing.
std::string ConfirmationDigest(std::string_view sequence, std::string_view machineKey);

// Whether the programs of `sequence` may run: it has none, or it was confirmed here.
bool IsConfirmed(const TQDReg& store, std::string_view sequence, std::string_view machineKey);

// Keeps the confirmation of a `sequence` with RUN lines first, dropping the oldest beyond
// kConfirmationsKept. Written to the store only; the caller saves it.
void Confirm(TQDReg& store, std::string_view sequence, std::string_view machineKey);

// The confirmations as kept, to be put back after an import has replaced the store's entries:
// a file from elsewhere must not bring confirmations with it.
std::string ConfirmedRuns(const TQDReg& store);
void RestoreConfirmedRuns(TQDReg& store, const std::string& kept);

}  // namespace sortwell::config
