// The pop-up's logic: filling the window from CurrentReminder, "Dismiss" and "Repeat in".
#include "engine/PopUpLogic.h"

#include "engine/RepeatIn.h"
#include "store/IoError.h"

namespace tw {

bool NoteNeedsLeadingBreak(std::string_view n) {
    const bool startsWithBreak = (!n.empty() && n[0] == '\r') || (n.size() >= 2 && n[1] == '\n');
    return !startsWithBreak;
}

std::string MemoFromNote(std::string_view ansiNote, bool& leadingBreak) {
    leadingBreak = NoteNeedsLeadingBreak(ansiNote);
    if (!leadingBreak)
        return std::string(ansiNote);
    std::string memo = "\r\n";
    memo += ansiNote;
    return memo;
}

std::string NoteFromMemo(std::string_view ansiMemo, bool leadingBreak) {
    if (leadingBreak && ansiMemo.substr(0, 2) == "\r\n")
        ansiMemo.remove_prefix(2);
    return std::string(ansiMemo);
}

void SetPopUpFormats(FormatSettings& f) {
    f.ShortDateFormat = "mmmm dd yyyy";
    f.LongDateFormat = "mmmm dd yyyy";
    f.ShortTimeFormat = "h:mm";
    f.LongTimeFormat = "h:mm";
}

void PopUpLogic::ShowPopUpReminder(ReminderRecord& record) {
    if (record.Beep != 0)
        m_services.beeper.beep();
    FormShow();
}

void PopUpLogic::ShowIconReminder() {
    // Another click on the still blinking icon while its reminder is open: filling the window
    // again would throw away a note the user is changing.
    if (m_showing) {
        m_view.bringToFront();
        return;
    }
    Icon_FormShow();
}

void PopUpLogic::FormShow() {
    show(PopUpLeadText, true);
}

void PopUpLogic::Icon_FormShow() {
    show(IconLeadText, false);
}

void PopUpLogic::show(std::string_view lead, bool setCaption) {
    Store& s = m_services.store;
    const ReminderRecord& r = s.CurrentReminder;
    const std::string memo = MemoFromNote(NoteText(r), MemoHasLeadingBreak);
    SetPopUpFormats(s.Formats);
    std::string panel(lead);
    panel += DateToStr(s.Formats, m_services.locale, r.RemDate);
    panel += ' ';
    panel += TimeToStr(s.Formats, m_services.locale, r.RemTime);
    m_view.showReminder(panel, BreaksToLf(m_services.codePage.toUtf8(memo)), setCaption);
    m_showing = true;
    m_handBack.displayStarted(Display::PopUp);
}

void PopUpLogic::Button1Click() {
    if (!m_showing)
        return;
    m_showing = false;
    m_view.hideReminder(); // empties the memo: anything typed is lost
    m_handBack.displayFinished();
    saveAfterHandBack();
}

void PopUpLogic::Button2Click() {
    if (!m_showing)
        return;
    const int position = m_view.selectedInterval();
    if (position < 0 || position >= RepeatIntervalCount)
        return;
    // A date that cannot be moved on (only a damaged record has one) leaves the window open; the
    // user can still dismiss it.
    ReminderRecord moved = m_services.store.CurrentReminder;
    if (!ApplyRepeatIn(moved, position))
        return;
    const std::string memo = m_services.codePage.fromUtf8(BreaksToCrLf(m_view.memoText()));
    m_showing = false;
    m_view.hideReminder();
    m_handBack.displayRescheduled(moved.RemDate, moved.RemTime, NoteFromMemo(memo, MemoHasLeadingBreak));
    saveAfterHandBack();
}

// Writes "rd.dt" after the reminder was handed back. A failed save is shown; the reminder is handed
// back all the same: the monitor saves the file again when it settles it, and the engine must not
// stay blocked on a window that is already gone.
void PopUpLogic::saveAfterHandBack() {
    Store& s = m_services.store;
    GuardIo(m_services.boxes, [&s] { s.SaveActive(); });
}

} // namespace tw
