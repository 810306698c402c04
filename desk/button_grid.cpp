#include "desk/button_grid.h"

#include <algorithm>
#include <cctype>

#include "components/qdreg.h"
#include "config/hide_list.h"
#include "desk/folder_pattern.h"

namespace sortwell::desk {

namespace {

constexpr int kDefaultColumns = 3;
// Taken off the panel's outer size for its single border.
constexpr int kPanelBorder = 4;

// A panel smaller than its border has no room left, not a negative room.
int InnerLength(int outer) {
    return std::max(outer - kPanelBorder, 0);
}

std::string LowerCaseExtension(const std::string& path) {
    const std::size_t nameStart = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart)) {
        return {};
    }
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

GridCell MakeCell(const TargetButton& button, std::size_t listRow, CellRect rect) {
    return GridCell{listRow,     GridCaption(button),     button.folder,
                    button.icon, FaceKindOf(button.icon), rect};
}

}  // namespace

int GridColumns(const std::string& columnsText) {
    const int columns = TQDReg::StrToInt(columnsText, kDefaultColumns);
    return columns < 1 ? kDefaultColumns : columns;
}

bool IsButtonShown(const TargetButton& button, const NameSelection& selection) {
    return !selection.selectorVisible || !config::IsHidden(button.hide, selection.name);
}

int VisibleCount(const std::vector<TargetButton>& buttons, const NameSelection& selection) {
    return static_cast<int>(
        std::count_if(buttons.begin(), buttons.end(),
                      [&](const TargetButton& b) { return IsButtonShown(b, selection); }));
}

int GridRows(int visible, int columns) {
    const int rows = visible / columns + (visible % columns > 0 ? 1 : 0);
    return std::max(rows, 1);
}

std::string GridCaption(const TargetButton& button) {
    return FolderNeedsTag(button.folder) ? button.caption : button.caption + "*";
}

FaceKind FaceKindOf(const std::string& icon) {
    const std::string extension = LowerCaseExtension(icon);
    if (extension == ".ico") {
        return FaceKind::Icon;
    }
    if (extension == ".bmp") {
        return FaceKind::Bitmap;
    }
    return FaceKind::None;
}

ButtonGrid LayOutButtons(const std::vector<TargetButton>& buttons, const std::string& columnsText,
                         const NameSelection& selection, PanelSize panel) {
    ButtonGrid grid;
    grid.columns = GridColumns(columnsText);
    grid.visibleCount = VisibleCount(buttons, selection);
    grid.rows = GridRows(grid.visibleCount, grid.columns);
    grid.cellWidth = InnerLength(panel.width) / grid.columns;
    grid.cellHeight = InnerLength(panel.height) / grid.rows;
    grid.cells.reserve(static_cast<std::size_t>(grid.visibleCount));

    int column = 0;
    int row = 0;
    for (std::size_t listRow = 0; listRow < buttons.size(); ++listRow) {
        if (!IsButtonShown(buttons[listRow], selection)) {
            continue;
        }
        if (column > grid.columns - 1) {
            column = 0;
            ++row;
        }
        const CellRect rect{column * grid.cellWidth, row * grid.cellHeight, grid.cellWidth,
                            grid.cellHeight};
        grid.cells.push_back(MakeCell(buttons[listRow], listRow, rect));
        ++column;
    }
    return grid;
}

}  // namespace sortwell::desk
