// The help viewer: every help request names a topic of the program's help file.
#pragma once

#include <string>

namespace tw::platform {

class Help {
public:
    virtual ~Help() = default;
    virtual void showTopic(const std::string& topic) = 0;
    // Closes an open help window (the program is ending).
    virtual void quit() = 0;
};

} // namespace tw::platform
