#include "desk/free_name.h"

#include <filesystem>

namespace sortwell::desk {

bool NameTaken(const std::string& path, platform::DocumentFiles& files) {
    return files.folderExists(path) || files.statDocument(path).problem.empty();
}

std::string CandidateName(const std::string& name, int number) {
    if (number < 2) {
        return name;
    }
    const std::filesystem::path path(name);
    return path.stem().string() + " (" + std::to_string(number) + ")" + path.extension().string();
}

std::string FreePathIn(const std::string& folder, const std::string& name, int firstNumber,
                       platform::DocumentFiles& files) {
    for (int number = firstNumber; number < firstNumber + kMostNameTries; ++number) {
        std::string candidate = folder + CandidateName(name, number);
        if (!NameTaken(candidate, files)) {
            return candidate;
        }
    }
    return {};
}

}  // namespace sortwell::desk
