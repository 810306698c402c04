#pragma once

#include <QIcon>

// The program's own pictures, drawn rather than shipped, so that the program needs no image
// files beside it.
namespace DeskIcons {
// A filing tray with a sheet: the window's and the program's icon.
QIcon program();
// The tray icon while the automation is stopped (0) and while it runs (1).
QIcon tray(int index);
}  // namespace DeskIcons
