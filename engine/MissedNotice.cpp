// The text of the "Missed reminders" notice and when it is given.
#include "engine/MissedNotice.h"

#include "store/DateFormat.h"
#include "store/LineBreaks.h"

namespace tw {

std::string MissedText(const MissedReport& report, const platform::Locale& locale, const platform::CodePage& cp) {
    std::string text = report.count == 1
                           ? "1 reminder passed while it could not be shown"
                           : std::to_string(report.count) + " reminders passed while they could not be shown";
    // The list's formats, on a copy: the process-wide settings stay as the windows left them.
    FormatSettings f;
    f.ShortDateFormat = "dd/mmm/yy";
    f.LongTimeFormat = "hh:nn";
    const std::string note = OneLineNote(cp.toUtf8(NoteText(report.latest)));
    text += '\n';
    text += DateToStr(f, locale, report.latest.RemDate);
    text += ' ';
    text += TimeToStr(f, locale, report.latest.RemTime);
    if (!note.empty()) {
        text += ' ';
        text += note;
    }
    return text;
}

void MissedNotice::report(const MissedReport& report) {
    if (report.count <= 0 || !m_store.TrayIconShown)
        return;
    m_notifier.notify(MissedTitle, MissedText(report, m_locale, m_cp));
}

} // namespace tw
