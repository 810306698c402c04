#pragma once

#include <array>

#include <QIcon>

// The program's own pictures, drawn rather than shipped, so that the program needs no image
// files beside it.
namespace DeskIcons {
// The sizes the program's icon is drawn at, for windows and for the desktop's icon theme.
inline constexpr std::array<int, 5> kProgramSizes = {16, 32, 48, 64, 128};
// A filing tray with a sheet: the window's and the program's icon.
QIcon program();
// The tray icon while the automation is stopped (0) and while it runs (1).
QIcon tray(int index);
}  // namespace DeskIcons
