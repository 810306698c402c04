#pragma once

#include <QString>

class QWidget;

// Asks the user for an existing folder.
class TQBrFolder {
public:
    // A modal folder chooser over `owner`, opened at `startFolder` (its own default when that
    // is empty or gone), showing `title`. Returns the chosen folder without a trailing
    // separator (the root stays "/"), or empty text when the user cancels.
    static QString Execute(const QString& startFolder, const QString& title, QWidget* owner);
};
