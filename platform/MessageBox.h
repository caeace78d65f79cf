// Modal message boxes. Everything that asks or tells the user goes through this interface, so that
// tests answer in advance and never block on a modal window.
#pragma once

#include <string>

namespace tw::platform {

enum class Answer { Ok, Yes, No, Cancel };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Information box with one OK button; the caption is the application title.
    virtual void information(const std::string& text) = 0;
    // Error box with one OK button (I/O errors); the caption is the application title.
    virtual void error(const std::string& text) = 0;
    // Confirmation box: question icon, caption "Confirm", buttons Yes, No and Cancel.
    virtual Answer confirm(const std::string& text) = 0;
};

} // namespace tw::platform
