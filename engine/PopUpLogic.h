// The window-free half of the reminder pop-up: what FormShow and Icon_FormShow put into the window,
// what "Dismiss" and "Repeat in" do to CurrentReminder, and the note's leading line break. The Qt
// window TRem_Pop (dialogs/ReminderPopup) is a view over this class; tests drive it with a fake view.
#pragma once

#include <string>
#include <string_view>

#include "engine/Activation.h"
#include "store/LineBreaks.h"
#include "store/ReminderRecord.h"
#include "store/Services.h"

namespace tw {

inline constexpr std::string_view PopUpLeadText = "Reminder Started on: ";
inline constexpr std::string_view IconLeadText = "Reminder stated on: ";
inline constexpr std::string_view PopUpCaption = "Reminder";

// True unless the note already starts with a line break (first character CR, or second LF).
bool NoteNeedsLeadingBreak(std::string_view ansiNote);
// The note as the memo holds it: CR LF in front when needed (leadingBreak says whether it was added).
std::string MemoFromNote(std::string_view ansiNote, bool& leadingBreak);
// The note taken back from the memo: the added CR LF comes off again if it is still there.
std::string NoteFromMemo(std::string_view ansiMemo, bool leadingBreak);

// The process-wide formats the pop-up formats with: "mmmm dd yyyy" and "h:mm".
void SetPopUpFormats(FormatSettings& formats);

// What the window has to do; TRem_Pop implements it, tests fake it.
class PopUpView {
public:
    virtual ~PopUpView() = default;
    // Fills the panel line and the memo (UTF-8, "\n" breaks), sets the caption "Reminder" when asked,
    // and shows the window centred on the desktop.
    virtual void showReminder(const std::string& panelText, const std::string& memoText, bool setCaption) = 0;
    // Hides the window; the memo is emptied.
    virtual void hideReminder() = 0;
    // Brings the open window to the front as it is, with what the user typed.
    virtual void bringToFront() = 0;
    // The memo's text, UTF-8 with "\n" breaks.
    virtual std::string memoText() const = 0;
    // Position of the selected interval, -1 when none.
    virtual int selectedInterval() const = 0;
};

class PopUpLogic {
public:
    PopUpLogic(Services& services, HandBack& handBack, PopUpView& view)
        : m_services(services), m_handBack(handBack), m_view(view) {}

    // Pop-up kind: beeps when the reminder asks for it, then FormShow.
    void ShowPopUpReminder(ReminderRecord& record);
    // The flashing tray icon was clicked: Icon_FormShow of CurrentReminder, no beep.
    void ShowIconReminder();
    void FormShow();
    void Icon_FormShow();
    // "Dismiss", Escape and the close box.
    void Button1Click();
    // "Repeat in"; nothing happens without a selected interval.
    void Button2Click();

    // The last show put CR LF in front of the note.
    bool MemoHasLeadingBreak = false;

private:
    void show(std::string_view lead, bool setCaption);
    void saveAfterHandBack();

    Services& m_services;
    HandBack& m_handBack;
    PopUpView& m_view;
    // A reminder is on show in the window: its buttons act only then, so nothing acts twice.
    bool m_showing = false;
};

} // namespace tw
