// Tf_Reminder, the reminder editor window: its controls, the show that prepares it, and the buttons and keys.
#include "dialogs/ReminderEditor.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "dialogs/ListRules.h"
#include "dialogs/NoteEdit.h"
#include "platform/qt/Accessibility.h"
#include "platform/qt/DropDownKeys.h"
#include "platform/qt/WindowHelpers.h"
#include "store/DayCount.h"
#include "store/IoError.h"

namespace tw {

// The quick entry takes the notes the note box takes.
static_assert(QuickNoteLimit == NoteInputLimit);

namespace {

QComboBox* soundList(QWidget* parent, const QString& name, const QString& accessible) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItem(QStringLiteral("No Sound"));
    c->addItem(QStringLiteral("Beep"));
    c->setCurrentIndex(0);
    // The name (on Linux through a label, see NameComboBox) and the description say which kind of
    // reminder the list belongs to.
    platform::NameComboBox(c, accessible);
    c->setAccessibleDescription(accessible);
    return c;
}

} // namespace

Tf_Reminder::Tf_Reminder(Services& services, QWidget* parent) : QDialog(parent), m_services(services) {
    setObjectName(QStringLiteral("f_Reminder"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("New Reminder"));

    QuickEntryEdit = new QLineEdit(this);
    QuickEntryEdit->setObjectName(QStringLiteral("QuickEntryEdit"));
    QuickEntryEdit->setPlaceholderText(QStringLiteral("tomorrow 9am call the garage"));
    QuickEntryEdit->setToolTip(
        QStringLiteral("Type the day, the time and the repeat, then the note. Enter stores it."));
    QuickEntryEdit->setAccessibleName(QStringLiteral("Quick entry"));
    QuickLabel = new QLabel(QStringLiteral("&Quick entry:"), this);
    QuickLabel->setObjectName(QStringLiteral("QuickLabel"));
    QuickLabel->setBuddy(QuickEntryEdit);
    QuickResult = new QLabel(this);
    QuickResult->setObjectName(QStringLiteral("QuickResult"));
    QuickResult->setAccessibleName(QStringLiteral("Quick entry result"));
    QuickResult->setTextFormat(Qt::PlainText);
    // One line as wide as the field; a long one is cut with an ellipsis (the whole of it is the
    // field's description and the line's tooltip), so the window keeps its size.
    QuickResult->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    QuickResult->setMinimumHeight(QuickResult->fontMetrics().height());
    auto* quickRow = new QGridLayout;
    quickRow->addWidget(QuickLabel, 0, 0);
    quickRow->addWidget(QuickEntryEdit, 0, 1);
    quickRow->addWidget(QuickResult, 1, 1);
    quickRow->setColumnStretch(1, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("Date and Time"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    DateTime1 = new QDateEdit(GroupBox2);
    DateTime1->setObjectName(QStringLiteral("DateTime1"));
    DateTime1->setCalendarPopup(true);
    DateTime1->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    DateTime1->setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
    DateTime1->setToolTip(QStringLiteral("Here to set date of activation reminder's."));
    DateTime1->setAccessibleName(QStringLiteral("Date"));
    platform::ReadAsText(DateTime1);
    {
        // Wide enough for the longest date of the format; its own size hint measures only two dates.
        const QFontMetrics fm(DateTime1->font());
        const QString format = DateTime1->displayFormat();
        const QLocale loc = DateTime1->locale();
        auto textWidth = [&](QDate d) { return fm.horizontalAdvance(loc.toString(d, format) + QLatin1Char(' ')); };
        const int measured = std::max(textWidth(DateTime1->minimumDate()), textWidth(DateTime1->maximumDate()));
        int longest = measured;
        for (QDate d(2000, 1, 1); d.year() == 2000; d = d.addDays(1))
            longest = std::max(longest, textWidth(d));
        DateTime1->setMinimumWidth(DateTime1->sizeHint().width() + longest - measured);
    }
    DateTime2 = new QTimeEdit(GroupBox2);
    DateTime2->setObjectName(QStringLiteral("DateTime2"));
    DateTime2->setDisplayFormat(QStringLiteral("HH:mm"));
    DateTime2->setWrapping(true);
    DateTime2->setToolTip(QStringLiteral("Here to set time of activation reminder's."));
    DateTime2->setAccessibleName(QStringLiteral("Time"));
    platform::ReadAsText(DateTime2);
    RepeatList = new QComboBox(GroupBox2);
    RepeatList->setObjectName(QStringLiteral("RepeatList"));
    for (std::string_view text : RepeatTexts)
        RepeatList->addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    RepeatList->setToolTip(QStringLiteral("Here to choose whether the reminder comes back, and when."));
    // On Linux Qt names a combo box after its current item; the description says what it is for.
    RepeatList->setAccessibleDescription(QStringLiteral("Repeat"));
    RepeatLabel = new QLabel(QStringLiteral("&Repeat:"), GroupBox2);
    RepeatLabel->setObjectName(QStringLiteral("RepeatLabel"));
    RepeatLabel->setBuddy(RepeatList);
    auto* dateRow = new QGridLayout(GroupBox2);
    dateRow->addWidget(DateTime1, 0, 0, 1, 2);
    dateRow->addWidget(DateTime2, 0, 2);
    dateRow->addWidget(RepeatLabel, 1, 0);
    dateRow->addWidget(RepeatList, 1, 1, 1, 2);
    dateRow->setColumnStretch(1, 3);
    dateRow->setColumnStretch(2, 1);

    GroupBox1 = new QGroupBox(QStringLiteral("Reminder Note"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Memo1 = new NoteEdit(services.codePage, GroupBox1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setToolTip(QStringLiteral("Here print text which will appear at activations this reminder."));
    Memo1->setAccessibleName(QStringLiteral("Reminder Note"));
    platform::NameScrollBars(Memo1);
    // Five lines in view (a full note of 128 characters takes three or four); the window is no taller.
    Memo1->setMinimumWidth(320);
    Memo1->setFixedHeight(QFontMetrics(Memo1->font()).lineSpacing() * 5 +
                          2 * (Memo1->frameWidth() + static_cast<int>(Memo1->document()->documentMargin())));
    auto* noteBox = new QVBoxLayout(GroupBox1);
    noteBox->addWidget(Memo1);

    GroupBox3 = new QGroupBox(QStringLiteral("Type of activation"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    Title = new QCheckBox(QStringLiteral("Title Window"), GroupBox3);
    Title->setObjectName(QStringLiteral("Title"));
    // Where the desktop keeps other programs' titles to themselves (Wayland) these reminders are pop-ups.
    if (services.windows.canSetTitles())
        Title->setToolTip(QStringLiteral("Reminder this type will come up for title of active program."));
    else
        Title->setToolTip(QStringLiteral("This desktop does not let programs change the title of another "
                                         "program's window: reminders of this type appear as pop-ups."));
    ComboBox1 = soundList(GroupBox3, QStringLiteral("ComboBox1"), QStringLiteral("Sound for Title Window"));
    PopUp = new QCheckBox(QStringLiteral("PopUp"), GroupBox3);
    PopUp->setObjectName(QStringLiteral("PopUp"));
    PopUp->setToolTip(QStringLiteral("Reminder this type will appear as PopUp window in centre of screen."));
    ComboBox2 = soundList(GroupBox3, QStringLiteral("ComboBox2"), QStringLiteral("Sound for PopUp"));
    Icon = new QCheckBox(QStringLiteral("Animate Icon"), GroupBox3);
    Icon->setObjectName(QStringLiteral("Icon"));
    Icon->setToolTip(QStringLiteral("When reminder this type is actuated icon of program will blink."));
    ComboBox3 = soundList(GroupBox3, QStringLiteral("ComboBox3"), QStringLiteral("Sound for Animate Icon"));
    auto* kinds = new QGridLayout(GroupBox3);
    kinds->addWidget(Title, 0, 0);
    kinds->addWidget(ComboBox1, 0, 1);
    kinds->addWidget(PopUp, 1, 0);
    kinds->addWidget(ComboBox2, 1, 1);
    kinds->addWidget(Icon, 2, 0);
    kinds->addWidget(ComboBox3, 2, 1);
    kinds->setRowStretch(3, 1);

    b_OK = new QPushButton(QStringLiteral("OK"), this);
    b_OK->setObjectName(QStringLiteral("b_OK"));
    b_Apply = new QPushButton(QStringLiteral("Add"), this);
    b_Apply->setObjectName(QStringLiteral("b_Apply"));
    b_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    b_Cancel->setObjectName(QStringLiteral("b_Cancel"));
    Button1 = new QPushButton(QStringLiteral("Help"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    // No default button: Enter breaks a line in the note and presses only the button that has the
    // focus (see eventFilter), never OK from a picker, a check box or a sound list.
    for (QPushButton* b : {b_OK, b_Apply, b_Cancel, Button1})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(b_OK);
    buttons->addWidget(b_Apply);
    buttons->addWidget(b_Cancel);
    buttons->addWidget(Button1);

    auto* left = new QVBoxLayout;
    left->addWidget(GroupBox2);
    left->addWidget(GroupBox1, 1);
    auto* top = new QGridLayout(this);
    top->addLayout(quickRow, 0, 0, 1, 2);
    top->addLayout(left, 1, 0);
    top->addWidget(GroupBox3, 1, 1);
    top->addLayout(buttons, 2, 0, 1, 2);
    top->setSizeConstraint(QLayout::SetFixedSize);

    // The quick entry comes right after the note, where the focus starts: Shift+Tab from the note
    // still goes back over Help, Cancel and Add to OK, and Tab from the repeat list on to OK.
    setTabOrder(Memo1, QuickEntryEdit);
    setTabOrder(QuickEntryEdit, DateTime1);
    setTabOrder(DateTime1, DateTime2);
    setTabOrder(DateTime2, RepeatList);
    setTabOrder(RepeatList, Title);
    setTabOrder(Title, ComboBox1);
    setTabOrder(ComboBox1, PopUp);
    setTabOrder(PopUp, ComboBox2);
    setTabOrder(ComboBox2, Icon);
    setTabOrder(Icon, ComboBox3);
    setTabOrder(ComboBox3, b_OK);
    setTabOrder(b_OK, b_Apply);
    setTabOrder(b_Apply, b_Cancel);
    setTabOrder(b_Cancel, Button1);

    connect(Title, &QCheckBox::clicked, this, &Tf_Reminder::TitleClick);
    connect(PopUp, &QCheckBox::clicked, this, &Tf_Reminder::PopUpClick);
    connect(Icon, &QCheckBox::clicked, this, &Tf_Reminder::IconClick);
    connect(b_OK, &QPushButton::clicked, this, &Tf_Reminder::b_OKClick);
    connect(b_Apply, &QPushButton::clicked, this, &Tf_Reminder::b_ApplyClick);
    connect(b_Cancel, &QPushButton::clicked, this, &Tf_Reminder::b_CancelClick);
    connect(Button1, &QPushButton::clicked, this, &Tf_Reminder::Button1Click);
    connect(QuickEntryEdit, &QLineEdit::textEdited, this, &Tf_Reminder::QuickEntryEdited);
    connect(DateTime1, &QDateEdit::dateChanged, this, [this](QDate d) {
        if (!m_filling && d.isValid())
            m_date = ReplaceDay(m_date, d.year(), d.month(), d.day());
    });
    connect(DateTime2, &QTimeEdit::timeChanged, this, [this](QTime t) {
        if (!m_filling && t.isValid())
            m_time = ReplaceHourMinute(m_time, t.hour(), t.minute());
    });

    platform::InstallKeyPreview(*this);
    // Escape on an open list closes only the list. After the key preview, so that the preview
    // neither watches the lists themselves nor sees their key first.
    for (QComboBox* c : {RepeatList, ComboBox1, ComboBox2, ComboBox3})
        platform::KeepEscapeInList(c);
}

void Tf_Reminder::ShowNew() {
    if (!isVisible())
        FormShowNew();
    showInFront();
}

void Tf_Reminder::ShowEdit() {
    FormShowEdit();
    showInFront();
}

void Tf_Reminder::FormShowNew() {
    Store& s = m_services.store;
    SetReminderFormats(s.Formats);
    s.BeginNew();
    setWindowTitle(QStringLiteral("New Reminder"));
    DefaultClick();
    b_Cancel->setEnabled(true);
    b_Apply->setEnabled(true);
    clearQuickEntry();
    Memo1->setNoteText(QString());
    const double now = ToDayCount(m_services.clock.now());
    m_filling = true;
    setHeldDate(now);
    setHeldTime(now);
    m_filling = false;
    enableSoundLists();
    ComboBox1->setCurrentIndex(0);
    ComboBox2->setCurrentIndex(0);
    ComboBox3->setCurrentIndex(0);
    RepeatList->setCurrentIndex(0); // "Once"
    Memo1->setFocus(Qt::OtherFocusReason);
}

void Tf_Reminder::FormShowEdit() {
    const Store& s = m_services.store;
    SetReminderFormats(m_services.store.Formats);
    setWindowTitle(QStringLiteral("Edit Reminder"));
    b_Apply->setEnabled(false);
    b_Cancel->setEnabled(true);
    clearQuickEntry();
    Memo1->setNoteText(QString::fromStdString(NoteToEditor(s.EditBuffer, m_services.codePage)));
    m_filling = true;
    setHeldDate(s.EditBuffer.RemDate);
    setHeldTime(s.EditBuffer.RemTime);
    m_filling = false;
    setChoices(ChoicesFromRecord(s.EditBuffer));
    RepeatList->setCurrentIndex(static_cast<int>(ReadRule(s.EditBuffer).repeat));
    Memo1->moveCursor(QTextCursor::End);
    Memo1->setFocus(Qt::OtherFocusReason);
}

void Tf_Reminder::showInFront() {
    if (!m_placed) {
        centreOnScreen();
        m_placed = true;
    }
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void Tf_Reminder::DefaultClick() {
    PopUp->setChecked(true);
    Title->setChecked(false);
    Icon->setChecked(false);
}

void Tf_Reminder::TitleClick() {
    ComboBox1->setEnabled(Title->isChecked());
}
void Tf_Reminder::PopUpClick() {
    ComboBox2->setEnabled(PopUp->isChecked());
}
void Tf_Reminder::IconClick() {
    ComboBox3->setEnabled(Icon->isChecked());
}

bool Tf_Reminder::Empty_Text() {
    if (!Memo1->noteText().isEmpty())
        return false;
    m_services.boxes.information(EmptyNoteMessage);
    return true;
}

void Tf_Reminder::Apply() {
    if (Empty_Text())
        return;
    const std::string note = NoteToStored(Memo1->noteText().toStdString(), m_services.codePage);
    const auto repeat = static_cast<Repeat>(std::clamp(RepeatList->currentIndex(), 0, RepeatRuleCount - 1));
    const NewRecords recs = BuildRecords(choices(), m_date, m_time, note, repeat);
    const ApplyOutcome out = StoreRecords(m_services.store, m_services.boxes, recs);
    if (!out.stopped) {
        Memo1->setNoteText(QString());
        clearQuickEntry();
    }
}

void Tf_Reminder::b_OKClick() {
    if (QuickEntryRefused() || Empty_Text())
        return;
    GuardIo(m_services.boxes, [&] {
        Apply();
        m_services.store.SaveActive();
        hide();
    });
}

void Tf_Reminder::b_ApplyClick() {
    if (QuickEntryRefused())
        return;
    GuardIo(m_services.boxes, [&] {
        Apply();
        m_services.store.SaveActive();
    });
}

void Tf_Reminder::b_CancelClick() {
    FormClose();
    hide();
}

void Tf_Reminder::FormClose() {
    GuardIo(m_services.boxes, [&] { m_services.store.CancelEdit(); });
}

void Tf_Reminder::Button1Click() {
    m_services.help.showTopic("new reminder menu");
}

bool Tf_Reminder::FormKeyDown(int key) {
    if (key == Qt::Key_Escape) {
        b_CancelClick();
        return true;
    }
    if (key == Qt::Key_F1) {
        Button1Click();
        return true;
    }
    return false;
}

void Tf_Reminder::reject() {
    b_CancelClick();
}

// The close box only hides the window: accepting the close would also destroy its native window,
// and the activity log would count the editor anew at every opening.
void Tf_Reminder::closeEvent(QCloseEvent* event) {
    platform::CloseByHiding(*event, [this] { b_CancelClick(); });
}

bool Tf_Reminder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (FormKeyDown(k->key()))
            return true;
        // Enter in the quick entry stores the reminder as OK does.
        if (watched == QuickEntryEdit && (k->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
            (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)) {
            b_OKClick();
            return true;
        }
        // Enter on a focused button presses it; elsewhere it presses nothing.
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button != nullptr && button->hasFocus() && k->modifiers() == Qt::NoModifier &&
            (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)) {
            button->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tf_Reminder::setHeldDate(double value) {
    m_date = value;
    if (auto d = DecodeDate(value))
        DateTime1->setDate(QDate(d->year, d->month, d->day));
    else
        DateTime1->setDate(DateTime1->minimumDate());
}

void Tf_Reminder::setHeldTime(double value) {
    m_time = value;
    const ClockTime t = std::isfinite(value) ? DecodeTime(value) : ClockTime{};
    DateTime2->setTime(QTime(t.hour, t.minute));
}

void Tf_Reminder::setChoices(const ActivationChoices& c) {
    Title->setChecked(c[RowTitle].checked);
    PopUp->setChecked(c[RowPopUp].checked);
    Icon->setChecked(c[RowIcon].checked);
    ComboBox1->setCurrentIndex(c[RowTitle].beep ? 1 : 0);
    ComboBox2->setCurrentIndex(c[RowPopUp].beep ? 1 : 0);
    ComboBox3->setCurrentIndex(c[RowIcon].beep ? 1 : 0);
    enableSoundLists();
}

ActivationChoices Tf_Reminder::choices() const {
    ActivationChoices c{};
    c[RowTitle] = {Title->isChecked(), ComboBox1->currentIndex() == 1};
    c[RowPopUp] = {PopUp->isChecked(), ComboBox2->currentIndex() == 1};
    c[RowIcon] = {Icon->isChecked(), ComboBox3->currentIndex() == 1};
    return c;
}

void Tf_Reminder::enableSoundLists() {
    TitleClick();
    PopUpClick();
    IconClick();
}

void Tf_Reminder::QuickEntryEdited(const QString& text) {
    if (text.trimmed().isEmpty()) {
        // Emptied: the fields are as they were before the line was typed.
        if (m_quickBase) {
            m_filling = true;
            setHeldDate(m_quickBase->date);
            setHeldTime(m_quickBase->time);
            m_filling = false;
            RepeatList->setCurrentIndex(m_quickBase->repeat);
            Memo1->setNoteText(m_quickBase->note);
        }
        clearQuickEntry();
        return;
    }
    if (!m_quickBase)
        m_quickBase = QuickBase{m_date, m_time, RepeatList->currentIndex(), Memo1->noteText()};
    const QuickEntryContext ctx{m_services.clock.now(), m_services.locale, m_services.codePage, m_zone};
    m_quick = ReadQuickEntry(text.toStdString(), ctx);
    double date = m_quickBase->date;
    if (m_quick.day) {
        if (const auto d = DecodeDate(static_cast<double>(*m_quick.day)))
            date = ReplaceDay(date, d->year, d->month, d->day);
    }
    double time = m_quickBase->time;
    if (m_quick.minuteOfDay)
        time = ReplaceHourMinute(time, *m_quick.minuteOfDay / 60, *m_quick.minuteOfDay % 60);
    m_filling = true;
    setHeldDate(date);
    setHeldTime(time);
    m_filling = false;
    RepeatList->setCurrentIndex(m_quick.repeat ? static_cast<int>(*m_quick.repeat) : m_quickBase->repeat);
    Memo1->setNoteText(m_quick.note.empty() ? m_quickBase->note : QString::fromStdString(m_quick.note));
    showQuickResult(QString::fromStdString(m_quick.accepted() ? QuickEntryLine(m_quick.entry(), ctx) : m_quick.error));
}

bool Tf_Reminder::QuickEntryRefused() {
    if (!m_quickBase)
        return false;
    QuickEntryEdited(QuickEntryEdit->text()); // read at the present moment: "9:00" may have become tomorrow
    if (!m_quickBase || m_quick.accepted())
        return false;
    m_services.boxes.information("Quick entry: " + m_quick.error);
    QuickEntryEdit->setFocus(Qt::OtherFocusReason);
    return true;
}

void Tf_Reminder::clearQuickEntry() {
    QuickEntryEdit->clear();
    m_quickBase.reset();
    m_quick = QuickReading{};
    showQuickResult(QString());
}

void Tf_Reminder::showQuickResult(const QString& text) {
    QuickResult->setText(QuickResult->fontMetrics().elidedText(text, Qt::ElideRight, QuickEntryEdit->width()));
    QuickResult->setToolTip(text);
    QuickResult->setAccessibleDescription(text);
    QuickEntryEdit->setAccessibleDescription(text);
}

void Tf_Reminder::centreOnScreen() {
    adjustSize();
    platform::CentreOnScreen(*this, QGuiApplication::primaryScreen(), size());
}

} // namespace tw
