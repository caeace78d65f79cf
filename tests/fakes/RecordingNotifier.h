// A notifier that records every notice and lets tests click the last one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Notifier.h"

namespace tw::fake {

class RecordingNotifier : public platform::Notifier {
public:
    struct Notice {
        std::string title;
        std::string text;
    };
    std::vector<Notice> notices;

    void notify(const std::string& title, const std::string& text) override { notices.push_back({title, text}); }
    void setClickHandler(std::function<void()> handler) override { m_click = std::move(handler); }
    void click() {
        if (m_click)
            m_click();
    }

private:
    std::function<void()> m_click;
};

} // namespace tw::fake
