// Input/output errors of the reminder files. A failed file step throws IoError; the handler of the
// user action or timer step that caused it catches it at its outer edge (GuardIo) and shows the
// error's text, so the action stops there and the program carries on with its next event.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/MessageBox.h"

namespace tw {

namespace IoCode {
inline constexpr int FileNotFound = 2;
inline constexpr int InvalidFilename = 3;
inline constexpr int TooManyOpenFiles = 4;
inline constexpr int AccessDenied = 5;
inline constexpr int ReadBeyondEnd = 100;
inline constexpr int DiskFull = 101;
} // namespace IoCode

// "File not found", "Disk full", ... or "I/O error <code>".
std::string IoErrorText(int code);

class IoError : public std::runtime_error {
public:
    explicit IoError(int code) : std::runtime_error(IoErrorText(code)), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};

// Runs fn; an IoError it throws is shown in an error box and goes no further. Returns false then.
template <class F> bool GuardIo(platform::MessageBoxes& boxes, F&& fn) {
    try {
        fn();
        return true;
    } catch (const IoError& e) {
        boxes.error(e.what());
        return false;
    }
}

} // namespace tw
