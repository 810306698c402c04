#pragma once

#include <string>

namespace sortwell::platform {

// Starting a program with the user's desktop session, one entry per name.
class Autostart {
public:
    virtual ~Autostart() = default;

    // Registers `executable` (run without arguments) under `name`, replacing an entry of the
    // same name. Returns the reason on failure, empty text on success.
    virtual std::string enable(const std::string& name, const std::string& executable) = 0;

    // Removes the entry `name`; a missing entry is no error. Returns the reason on failure.
    virtual std::string disable(const std::string& name) = 0;

    // True when an entry `name` exists.
    virtual bool isEnabled(const std::string& name) = 0;
};

}  // namespace sortwell::platform
