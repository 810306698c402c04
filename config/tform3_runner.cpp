#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "config/sequence_runner.h"
#include "config/tform3.h"

// The dialog may be made while a run is under way: it starts from the runner's state and
// follows it from then on.
void TForm3::followRunner() {
    showRunning(runner_->isRunning());
    Label12->setText(runner_->activity());
    fillWindowListBoxes();
    connect(runner_, &SequenceRunner::runningChanged, this, &TForm3::showRunning);
    connect(runner_, &SequenceRunner::activityChanged, Label12, &QLabel::setText);
    connect(runner_, &SequenceRunner::windowListChanged, this, &TForm3::fillWindowListBoxes);
}

void TForm3::showRunning(bool running) {
    Button11->setEnabled(!running);
    Button13->setEnabled(running);
}

void TForm3::Button11Click() {
    Run();
}

void TForm3::Run() {
    runner_->Run();
}

void TForm3::AbortRun() {
    runner_->AbortRun();
}

void TForm3::resumeRunner() {
    runner_->resumeRunner();
}

void TForm3::notify(const QString& title, const QString& text) {
    runner_->notify(title, text);
}

void TForm3::Button13Click() {
    runner_->abortByUser();
}

void TForm3::Button10Click() {
    runner_->refreshWindowList();
}

void TForm3::refreshWindowList() {
    Button10Click();
}

void TForm3::fillWindowListBoxes() {
    ListBox1->clear();
    ListBox2->clear();
    ListBox3->clear();
    for (const sortwell::platform::WindowInfo& window : runner_->windowList().Entries()) {
        ListBox1->addItem(QString::fromStdString(window.title));
        ListBox2->addItem(QString::number(window.pid));
        ListBox3->addItem(QString::number(window.handle));
    }
}
