#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "components/message_box.h"
#include "config/tform2.h"
#include "config/tform3.h"

QWidget* TForm3::createButtonsTab() {
    auto* page = new QWidget(this);
    ListView1 = new QTreeWidget(page);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setHeaderLabels({QStringLiteral("Icon"), QStringLiteral("Caption"),
                                QStringLiteral("Folder"), QStringLiteral("Hide")});
    ListView1->setColumnWidth(1, 150);
    ListView1->setColumnWidth(2, 400);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The selected row stays marked while the buttons beside the list have the focus.
    QPalette palette = ListView1->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    ListView1->setPalette(palette);

    Button8 = new QPushButton(QStringLiteral("&New"), page);
    Button15 = new QPushButton(QStringLiteral("&Delete"), page);
    Button16 = new QPushButton(QStringLiteral("&Edit"), page);
    Button17 = new QPushButton(QStringLiteral("&Up"), page);
    Button18 = new QPushButton(QStringLiteral("&Down"), page);
    auto* side = new QVBoxLayout;
    side->addWidget(Button8);
    side->addWidget(Button15);
    side->addWidget(Button16);
    side->addStretch(1);
    side->addWidget(Button17);
    side->addWidget(Button18);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(ListView1, 1);
    layout->addLayout(side);

    connect(Button8, &QPushButton::clicked, this, &TForm3::Button8Click);
    connect(Button15, &QPushButton::clicked, this, &TForm3::Button15Click);
    connect(Button16, &QPushButton::clicked, this, &TForm3::Button16Click);
    connect(Button17, &QPushButton::clicked, this, &TForm3::Button17Click);
    connect(Button18, &QPushButton::clicked, this, &TForm3::Button18Click);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &TForm3::ListView1DblClick);
    return page;
}

bool TForm3::editTargetButton(const QString& caption, const sortwell::desk::TargetButton& button) {
    TForm2* form2 = editButtonDialog();
    form2->setWindowTitle(caption);
    form2->Edit3->setText(QString::fromStdString(button.icon));
    form2->Edit1->setText(QString::fromStdString(button.caption));
    form2->Edit2->setText(QString::fromStdString(button.folder));
    form2->ApplyHide(QString::fromStdString(button.hide));
    form2->exec();
    return !form2->cancelled;
}

sortwell::desk::TargetButton TForm3::editedTargetButton() {
    TForm2* form2 = editButtonDialog();
    const sortwell::config::HideText hide = form2->GetHide();
    if (!hide.error.empty()) {
        MessageBox::warning(form2, form2->windowTitle(), QString::fromStdString(hide.error));
    }
    return {form2->Edit3->text().toStdString(), form2->Edit1->text().toStdString(),
            form2->Edit2->text().toStdString(), hide.hide};
}

void TForm3::Button8Click() {
    editButtonDialog()->editedRow = nullptr;
    if (!editTargetButton(QStringLiteral("New Button"), {})) {
        return;
    }
    appendRow(editedTargetButton());
}

void TForm3::Button16Click() {
    QTreeWidgetItem* row = ListView1->currentItem();
    if (row == nullptr || !row->isSelected()) {
        return;
    }
    editButtonDialog()->editedRow = row;
    const bool confirmed = editTargetButton(
        QStringLiteral("Edit Button"), {row->text(0).toStdString(), row->text(1).toStdString(),
                                        row->text(2).toStdString(), row->text(3).toStdString()});
    editButtonDialog()->editedRow = nullptr;
    if (!confirmed) {
        return;
    }
    const sortwell::desk::TargetButton edited = editedTargetButton();
    row->setText(0, QString::fromStdString(edited.icon));
    row->setText(1, QString::fromStdString(edited.caption));
    row->setText(2, QString::fromStdString(edited.folder));
    row->setText(3, QString::fromStdString(edited.hide));
}

void TForm3::ListView1DblClick() {
    Button16Click();
}

void TForm3::Button15Click() {
    QTreeWidgetItem* row = ListView1->currentItem();
    if (row != nullptr && row->isSelected()) {
        delete row;
        // The list selects the next row by itself; a second Delete must not remove it unseen.
        ListView1->clearSelection();
    }
}

void TForm3::Button17Click() {
    moveSelectedRow(-1);
}

void TForm3::Button18Click() {
    moveSelectedRow(+1);
}

void TForm3::moveSelectedRow(int offset) {
    QTreeWidgetItem* row = ListView1->currentItem();
    if (row == nullptr || !row->isSelected()) {
        return;
    }
    const int from = ListView1->indexOfTopLevelItem(row);
    const int to = from + offset;
    if (to < 0 || to >= ListView1->topLevelItemCount()) {
        return;
    }
    ListView1->takeTopLevelItem(from);
    ListView1->insertTopLevelItem(to, row);
    ListView1->setCurrentItem(row);
}
