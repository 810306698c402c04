#include "app/desk_windows.h"

DeskWindows::DeskWindows(const DeskServices& services)
    : Form1(std::make_unique<TForm1>(services)),
      Form2(std::make_unique<TForm2>(services, Form1.get())),
      Form3(std::make_unique<TForm3>(services, Form1.get(), Form2.get(), Form1.get())) {
    Form1->connectConfiguration(Form3.get());
}

// The dialogs go first: they are children of the desk but owned here.
DeskWindows::~DeskWindows() {
    Form3.reset();
    Form2.reset();
    Form1.reset();
}
