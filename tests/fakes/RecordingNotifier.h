// A notifier that records every notice and lets tests click the last one.
#pragma once

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
    void setListener(platform::NoticeListener* listener) override { m_listener = listener; }
    void click() {
        if (m_listener)
            m_listener->noticeClicked();
    }

private:
    platform::NoticeListener* m_listener = nullptr;
};

} // namespace tw::fake
