// The toolkit back ends of the core's interfaces: message boxes, the beep and the event pump, all
// on Qt, for Linux and Windows alike.
#pragma once

#include "platform/Beeper.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"

namespace tw::platform {

class QtMessageBoxes : public MessageBoxes {
public:
    void information(const std::string& text) override;
    void error(const std::string& text) override;
    Answer confirm(const std::string& text) override;
};

class QtBeeper : public Beeper {
public:
    void beep() override;
};

class QtEventPump : public EventPump {
public:
    void processMessages() override;
    void sleep(int ms) override;
};

} // namespace tw::platform
