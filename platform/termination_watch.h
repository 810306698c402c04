#pragma once

namespace sortwell::platform {

// Turns the requests to end that the system sends (a log-off, a shutdown, Ctrl+C) into a
// handle that an event loop can watch, since a signal handler itself may do almost nothing.
// One at a time: the requests are process-wide.
class TerminationWatch {
public:
    TerminationWatch();
    ~TerminationWatch();
    TerminationWatch(const TerminationWatch&) = delete;
    TerminationWatch& operator=(const TerminationWatch&) = delete;

    // Readable when a request has arrived; -1 when none could be set up.
    int handle() const;
    // Takes one request off the handle.
    void acknowledge();
};

}  // namespace sortwell::platform
