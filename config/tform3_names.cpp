#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "components/message_box.h"
#include "config/tform3.h"
#include "desk/settings_model.h"

QWidget* TForm3::createNamesTab() {
    auto* page = new QWidget(this);
    auto* group = new QGroupBox(page);
    auto* note = new QLabel(QStringLiteral("You can specify a list of names which can be selected "
                                           "and used in tags for family usage."),
                            group);
    note->setStyleSheet(QStringLiteral("color: grey;"));
    note->setWordWrap(true);
    Edit5 = new QLineEdit(group);
    Edit5->setObjectName(QStringLiteral("Edit5"));
    ListBox4 = new QListWidget(group);
    ListBox4->setObjectName(QStringLiteral("ListBox4"));
    Button23 = new QPushButton(QStringLiteral("&Add"), group);
    Button24 = new QPushButton(QStringLiteral("&Modify"), group);
    Button25 = new QPushButton(QStringLiteral("&Delete"), group);
    Button26 = new QPushButton(QStringLiteral("&Up"), group);
    Button27 = new QPushButton(QStringLiteral("&Down"), group);

    auto* side = new QVBoxLayout;
    side->addWidget(Button23);
    side->addWidget(Button24);
    side->addWidget(Button25);
    side->addStretch(1);
    side->addWidget(Button26);
    side->addWidget(Button27);
    auto* grid = new QGridLayout(group);
    grid->addWidget(note, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Name:"), group), 1, 0);
    grid->addWidget(Edit5, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("List of Names:"), group), 2, 0, Qt::AlignTop);
    grid->addWidget(ListBox4, 2, 1);
    grid->addLayout(side, 2, 2);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);

    connect(Button23, &QPushButton::clicked, this, &TForm3::Button23Click);
    connect(Button24, &QPushButton::clicked, this, &TForm3::Button24Click);
    connect(Button25, &QPushButton::clicked, this, &TForm3::Button25Click);
    connect(Button26, &QPushButton::clicked, this, &TForm3::Button26Click);
    connect(Button27, &QPushButton::clicked, this, &TForm3::Button27Click);
    // A click anywhere in the list counts, not only one on a name: hence the viewport's events.
    ListBox4->viewport()->installEventFilter(this);
    ListBox4->installEventFilter(this);
    Edit5->installEventFilter(this);
    return page;
}

bool TForm3::refuseName(const QString& name) {
    // An empty name would end the stored list and drop every name after it.
    const std::string problem = sortwell::desk::NameProblem(name.toStdString());
    if (problem.empty()) {
        return false;
    }
    MessageBox::warning(this, windowTitle(), QString::fromStdString(problem));
    Edit5->setFocus();
    return true;
}

void TForm3::Button23Click() {
    if (refuseName(Edit5->text())) {
        return;
    }
    ListBox4->addItem(Edit5->text());
    Edit5->clear();
    Edit5->setFocus();
}

void TForm3::Button24Click() {
    QListWidgetItem* selected = ListBox4->currentItem();
    if (selected == nullptr || !selected->isSelected() || refuseName(Edit5->text())) {
        return;
    }
    selected->setText(Edit5->text());
}

void TForm3::Button25Click() {
    QListWidgetItem* selected = ListBox4->currentItem();
    if (selected != nullptr && selected->isSelected()) {
        delete selected;
        // The list selects the next name by itself; a second Delete must not remove it unseen.
        ListBox4->clearSelection();
    }
}

void TForm3::Button26Click() {
    moveSelectedName(-1);
}

void TForm3::Button27Click() {
    moveSelectedName(+1);
}

void TForm3::moveSelectedName(int offset) {
    QListWidgetItem* selected = ListBox4->currentItem();
    if (selected == nullptr || !selected->isSelected()) {
        return;
    }
    const int from = ListBox4->row(selected);
    const int to = from + offset;
    if (to < 0 || to >= ListBox4->count()) {
        return;
    }
    ListBox4->takeItem(from);
    ListBox4->insertItem(to, selected);
    ListBox4->setCurrentItem(selected);
}

void TForm3::ListBox4Click() {
    const QListWidgetItem* selected = ListBox4->currentItem();
    if (selected != nullptr && selected->isSelected()) {
        Edit5->setText(selected->text());
        Edit5->selectAll();
    }
    Edit5->setFocus();
}

namespace {

bool IsEnterPress(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit5 && IsEnterPress(event)) {
        // Enter in the Name field adds the name; it must not reach "&Ok", the default button.
        Button23Click();
        return true;
    }
    const bool released =
        (watched == ListBox4 && event->type() == QEvent::KeyRelease) ||
        (watched == ListBox4->viewport() && event->type() == QEvent::MouseButtonRelease);
    if (released) {
        ListBox4Click();
    }
    return QDialog::eventFilter(watched, event);
}
