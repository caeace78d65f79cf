// Message boxes that record what they were asked and answer confirmations from a queue, so that
// no test blocks on a modal window.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace tw::fake {

class RecordingMessageBoxes : public platform::MessageBoxes {
public:
    struct Shown {
        enum Kind { Information, Error, Confirm } kind;
        std::string text;
    };
    std::vector<Shown> shown;
    std::deque<platform::Answer> answers; // for confirm(); Cancel when empty

    void information(const std::string& text) override { shown.push_back({Shown::Information, text}); }
    void error(const std::string& text) override { shown.push_back({Shown::Error, text}); }
    platform::Answer confirm(const std::string& text) override {
        shown.push_back({Shown::Confirm, text});
        if (answers.empty())
            return platform::Answer::Cancel;
        const platform::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void setNextAnswer(platform::Answer a) { answers.push_back(a); }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& s : shown)
            t.push_back(s.text);
        return t;
    }
};

} // namespace tw::fake
