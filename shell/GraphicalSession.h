// The check, made first thing in main(), that a graphical desktop session can be reached: without
// one Qt aborts with a core dump, so the program says why in one line and ends before it touches
// anything.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tw {

// Why no graphical session can be used, or nothing when one can. getenv looks up an environment
// variable (nullptr when unset); canConnectX11 tries the X display named by DISPLAY. An explicit
// QT_QPA_PLATFORM is the user's choice and is not second-guessed.
std::optional<std::string> MissingGraphicalSession(const std::function<const char*(const char*)>& getenv,
                                                   const std::function<bool()>& canConnectX11);

// Prints the reason to stderr and returns false when there is no usable session.
bool RequireGraphicalSession();

} // namespace tw
