#pragma once

#include <string>

#include "platform/document_files.h"

namespace sortwell::desk {

// How many numbered names are tried before a folder counts as having no free name.
constexpr int kMostNameTries = 1000;

// True when a file or a folder is at `path`.
bool NameTaken(const std::string& path, platform::DocumentFiles& files);

// "scan.pdf" for numbers below 2, then "scan (2).pdf", "scan (3).pdf" and so on.
std::string CandidateName(const std::string& name, int number);

// The first path `folder` + CandidateName(name, n) that is not taken, n counting up from
// `firstNumber`; empty when none of kMostNameTries is free. `folder` ends in "/".
std::string FreePathIn(const std::string& folder, const std::string& name, int firstNumber,
                       platform::DocumentFiles& files);

}  // namespace sortwell::desk
