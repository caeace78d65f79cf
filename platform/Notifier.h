// A passing notice from the program's tray icon: the desktop's own notifications where there is a
// notification service, the tray icon's balloon otherwise. It never takes the focus. The Qt back
// end is platform/qt/TrayNotifier; tests use fake::RecordingNotifier.
#pragma once

#include <string>

namespace tw::platform {

// Told when the user clicks a notice.
class NoticeListener {
public:
    virtual ~NoticeListener() = default;
    virtual void noticeClicked() = 0;
};

class Notifier {
public:
    virtual ~Notifier() = default;
    // Title and text are UTF-8; the text may hold "\n" line breaks.
    virtual void notify(const std::string& title, const std::string& text) = 0;
    // The one listener of clicks on the notices; null detaches it.
    virtual void setListener(NoticeListener* listener) = 0;
};

} // namespace tw::platform
