#pragma once

#include <QDialog>

#include "config/hide_list.h"
#include "desk/desk_services.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidgetItem;

// The Edit Button dialog: one target's picture, caption, folder pattern and the names it is
// shown for. The Configuration dialog fills it, shows it and reads it back.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    TForm2(DeskServices services, QWidget* parent);

    QLabel* Image1 = nullptr;          // the 32 x 32 preview
    QLineEdit* Edit3 = nullptr;        // icon path
    QPushButton* Button3 = nullptr;    // "&Select ..."
    QPushButton* Button4 = nullptr;    // "C&lear"
    QLineEdit* Edit1 = nullptr;        // caption
    QLineEdit* Edit2 = nullptr;        // folder pattern
    QLabel* PatternWarning = nullptr;  // why filing would refuse the pattern; hidden when fine
    QPushButton* Button5 = nullptr;    // "Browse ..."
    QListWidget* CheckListBox1 = nullptr;
    QPushButton* Button1 = nullptr;  // "&Ok"
    QPushButton* Button2 = nullptr;  // "&Cancel"

    // True unless the dialog was closed with "&Ok".
    bool cancelled = true;
    // The Buttons list row the Configuration dialog is editing; not used here.
    QTreeWidgetItem* editedRow = nullptr;

    // Fills the "Visible for:" list with the names, all checked.
    void setNames(const QStringList& names);
    // Shows a hide text in the "Visible for:" list, and reads it back.
    void ApplyHide(const QString& hide);
    sortwell::config::HideText GetHide() const;

    void FormShow();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button1Click();
    void Button2Click();

    static const QString kPictureFilter;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refreshPreview();
    void showPatternProblem(const QString& pattern);
    sortwell::config::VisibleForList visibleFor() const;
    void rememberFolder(const char* key, const QString& folder);

    DeskServices services_;
};
