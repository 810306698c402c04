#pragma once

#include <QDialog>

class QListWidget;

// The Edit Button dialog. Here: the "Visible for:" check list that the settings model keeps
// in step with the names.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    QListWidget* CheckListBox1 = nullptr;
    // True when the dialog was closed without "&Ok".
    bool cancelled = true;

    // Fills the check list with the names, all checked.
    void setNames(const QStringList& names);
};
