#pragma once

#include <memory>

#include "config/configuration.h"
#include "config/sequence_runner.h"
#include "desk/tform1.h"

// The program's windows, alive until the end: the desk, made at once, and the Configuration
// and Edit Button dialogs, made when first needed. The runner lives from the start, as the
// desk's Active switch may start it. The desk and the dialogs know each other only by their
// faces; this is the one place that joins them.
struct DeskWindows {
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<SequenceRunner> Runner;
    std::unique_ptr<Configuration> Settings;

    explicit DeskWindows(const DeskServices& services);
    ~DeskWindows();
    DeskWindows(const DeskWindows&) = delete;
    DeskWindows& operator=(const DeskWindows&) = delete;
};
