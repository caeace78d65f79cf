// FakeInstanceChannel: the single-instance channel in memory. send records each message and gives
// the next of the scripted answers (NotRunning once they run out), each with the text answerText;
// listen and serve record nothing
// but whether the copy listens.
#pragma once

#include <deque>
#include <vector>

#include "platform/InstanceChannel.h"

namespace tw::fake {

class FakeInstanceChannel : public platform::InstanceChannel {
public:
    std::vector<platform::InstanceMessage> sent;
    std::deque<platform::SendResult> answers;
    std::string answerText;
    bool listening = false;

    bool listen(const std::string&) override { return listening = true; }
    std::intptr_t readyHandle() const override { return -1; }
    void serve(const Handler&) override {}
    void close() override { listening = false; }
    using platform::InstanceChannel::send;
    platform::SendResult send(const std::string&, const platform::InstanceMessage& message, int,
                              std::string* text) override {
        sent.push_back(message);
        if (answers.empty())
            return platform::SendResult::NotRunning;
        if (text != nullptr)
            *text = answerText;
        const platform::SendResult r = answers.front();
        answers.pop_front();
        return r;
    }
};

} // namespace tw::fake
