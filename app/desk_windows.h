#pragma once

#include <memory>

#include "config/tform2.h"
#include "config/tform3.h"
#include "desk/tform1.h"

// The program's three windows, created in this order and alive until the end: the desk, the
// Edit Button dialog and the Configuration dialog. The desk and the Configuration dialog know
// each other only by their faces; this is the one place that joins them.
struct DeskWindows {
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TForm2> Form2;
    std::unique_ptr<TForm3> Form3;

    explicit DeskWindows(const DeskServices& services);
    ~DeskWindows();
    DeskWindows(const DeskWindows&) = delete;
    DeskWindows& operator=(const DeskWindows&) = delete;
};
