#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "desk/target_button.h"

namespace sortwell::desk {

// What the main window's name selector tells the grid.
struct NameSelection {
    // False while the NameList is empty: the selector is hidden and hide texts are ignored.
    bool selectorVisible = false;
    // The selected name; empty when none is selected.
    std::string name;
};

// The grid panel's outer size in pixels, its border included.
struct PanelSize {
    int width = 0;
    int height = 0;
};

// A cell inside the panel's border, in pixels.
struct CellRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const CellRect&) const = default;
};

// How the face image is read from the icon file, chosen by its extension alone.
enum class FaceKind { None, Icon, Bitmap };

// One button of the grid.
struct GridCell {
    std::size_t listRow = 0;  // the button's row in the Buttons list, for its click
    std::string caption;      // with "*" appended when the target needs no tag
    std::string folder;       // the pattern that a click hands to the filing
    std::string icon;
    FaceKind face = FaceKind::None;
    CellRect rect;
};

// The whole grid: its arithmetic and its cells, in list order.
struct ButtonGrid {
    int columns = 0;
    int rows = 0;
    int visibleCount = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    std::vector<GridCell> cells;
};

// The column count from the "Number of Columns:" text; 3 when it is no integer or below 1,
// since 0 would divide by zero and a negative count would give negative sizes.
int GridColumns(const std::string& columnsText);

// False when the selector is visible and the button's hide text lists the selected name.
bool IsButtonShown(const TargetButton& button, const NameSelection& selection);

// The number of buttons that take a cell for this selection.
int VisibleCount(const std::vector<TargetButton>& buttons, const NameSelection& selection);

// Rows needed for `visible` cells in `columns` columns; at least 1.
int GridRows(int visible, int columns);

// The caption on the button: "*" is appended when filing into the target asks for no tag.
std::string GridCaption(const TargetButton& button);

// Icon for ".ico", bitmap for ".bmp" (in any letter case), none for anything else.
FaceKind FaceKindOf(const std::string& icon);

// Lays out the shown buttons left to right, then top to bottom, in equal cells that share the
// panel inside its 4-pixel border.
ButtonGrid LayOutButtons(const std::vector<TargetButton>& buttons, const std::string& columnsText,
                         const NameSelection& selection, PanelSize panel);

}  // namespace sortwell::desk
