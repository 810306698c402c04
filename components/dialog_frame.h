#pragma once

#include <initializer_list>

class QLayout;
class QPushButton;
class QWidget;

// Lays out a dialog as the program's dialogs look: `content` on top, a divider line, and the
// closing buttons at the bottom right in the order given.
void LayOutDialog(QWidget* dialog, QLayout* content, std::initializer_list<QPushButton*> buttons);

// Lets a layout narrow `button` below the style's preferred width, but never below its text with
// the style's margin and frame: a crowded row must not cut a caption.
void KeepTextWhole(QPushButton* button);
