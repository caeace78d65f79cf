// A help viewer that records the topics asked for and the quits.
#pragma once

#include <string>
#include <vector>

#include "platform/Help.h"

namespace tw::fake {

class RecordingHelp : public platform::Help {
public:
    std::vector<std::string> topics;
    int quits = 0;
    void showTopic(const std::string& topic) override { topics.push_back(topic); }
    void quit() override { ++quits; }
};

} // namespace tw::fake
