#include "app/desk_windows.h"

DeskWindows::DeskWindows(const DeskServices& services)
    : Form1(std::make_unique<TForm1>(services)),
      Runner(std::make_unique<SequenceRunner>(services, Form1.get())),
      Settings(std::make_unique<Configuration>(services, Form1.get(), Runner.get(), Form1.get())) {
    Runner->readSequenceFrom(Settings.get());
    Form1->connectConfiguration(Settings.get());
}

// The dialogs go first: they are children of the desk but owned here.
DeskWindows::~DeskWindows() {
    Settings.reset();
    Runner.reset();
    Form1.reset();
}
