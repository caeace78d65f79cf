// A tray host that tests bring and take away by hand.
#pragma once

#include "platform/TrayHost.h"

namespace tw::fake {

class FakeTrayHost : public platform::TrayHost {
public:
    explicit FakeTrayHost(bool there = true) : m_there(there) {}
    bool present() override { return m_there; }
    void setListener(platform::TrayHostListener* listener) override { m_listener = listener; }

    // The tray host starts (true) or goes away (false), and says so.
    void set(bool there) {
        m_there = there;
        if (m_listener)
            m_listener->trayHostChanged();
    }

private:
    bool m_there;
    platform::TrayHostListener* m_listener = nullptr;
};

} // namespace tw::fake
