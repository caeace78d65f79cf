// The "Missed reminders" notice: once for a monitor step that set reminders aside unseen, with how
// many passed and the latest one's date, time and note; only while the tray icon is shown.
#pragma once

#include <string>

#include "engine/RepeatingReminders.h"
#include "platform/CodePage.h"
#include "platform/Locale.h"
#include "platform/Notifier.h"

namespace tw {

inline constexpr const char* MissedTitle = "Missed reminders";

// "3 reminders passed while they could not be shown" and, on the next line, the latest one's date,
// time and note ("08/Dec/26 09:00 Call the garage").
std::string MissedText(const MissedReport& report, const platform::Locale& locale, const platform::CodePage& cp);

class MissedNotice : public MissedListener {
public:
    MissedNotice(const Store& store, const platform::Locale& locale, const platform::CodePage& cp,
                 platform::Notifier& notifier)
        : m_store(store), m_locale(locale), m_cp(cp), m_notifier(notifier) {}

    void report(const MissedReport& report) override;

private:
    const Store& m_store;
    const platform::Locale& m_locale;
    const platform::CodePage& m_cp;
    platform::Notifier& m_notifier;
};

} // namespace tw
