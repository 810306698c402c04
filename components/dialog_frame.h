#pragma once

#include <initializer_list>

class QLayout;
class QPushButton;
class QWidget;

// Lays out a dialog as the program's dialogs look: `content` on top, a divider line, and the
// closing buttons at the bottom right in the order given.
void LayOutDialog(QWidget* dialog, QLayout* content, std::initializer_list<QPushButton*> buttons);
