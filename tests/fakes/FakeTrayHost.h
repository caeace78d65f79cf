// A tray host that tests bring and take away by hand.
#pragma once

#include <functional>

#include "platform/TrayHost.h"

namespace tw::fake {

class FakeTrayHost : public platform::TrayHost {
public:
    explicit FakeTrayHost(bool there = true) : m_there(there) {}
    bool present() override { return m_there; }
    void setChangeHandler(std::function<void()> onChange) override { m_onChange = std::move(onChange); }

    // The tray host starts (true) or goes away (false), and says so.
    void set(bool there) {
        m_there = there;
        if (m_onChange)
            m_onChange();
    }

private:
    bool m_there;
    std::function<void()> m_onChange;
};

} // namespace tw::fake
