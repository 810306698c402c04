#include "desk/folder_pattern.h"

namespace sortwell::desk {

bool FolderNeedsTag(const std::string& folder) {
    return folder.find("%TAG") != std::string::npos;
}

}  // namespace sortwell::desk
