// The reminder store: the active and expired tables with their counts, the shared state through
// which the monitor, the displays, the dialogs and the shell coordinate, every table operation and
// the two reminder files. There is one Store per program; every part reaches it the same way, by
// reference, from the object that owns it (the main window in the program, the test in tests).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/FileSystem.h"
#include "store/DateFormat.h"
#include "store/ReminderRecord.h"

namespace tw {

inline constexpr int MaxReminders = 901;

inline constexpr std::int32_t MonitorIdle = 0;
inline constexpr std::int32_t MonitorShowing = 1;
inline constexpr std::int32_t MonitorDone = 2;

inline constexpr std::int32_t EditorIdle = 0;
inline constexpr std::int32_t EditorEdit = 1;
inline constexpr std::int32_t EditorNew = 2;

inline constexpr const char* ActiveFileName = "rd.dt";
inline constexpr const char* ExpiredFileName = "re.dt";

// Aborts with a message: a failed index or count check is a programming error, never a user-visible
// state, and must never turn into silent memory corruption.
[[noreturn]] void StoreCheckFailed(const char* what, long value);

// A fixed table of MaxReminders slots whose every index is checked.
class ReminderTable {
public:
    ReminderRecord& operator[](int i) {
        check(i);
        return m_slots[static_cast<std::size_t>(i)];
    }
    const ReminderRecord& operator[](int i) const {
        check(i);
        return m_slots[static_cast<std::size_t>(i)];
    }

private:
    static void check(int i) {
        if (i < 0 || i >= MaxReminders)
            StoreCheckFailed("table index", i);
    }
    std::array<ReminderRecord, MaxReminders> m_slots{};
};

enum class TableId { Active, Expired };

// -1, 0 or 1 on the whole days (truncated toward zero) of two day-count values.
int CompareDay(double a, double b);
// -1, 0 or 1 on the times of day of two values; equal within one millisecond.
int CompareTimeOfDay(double a, double b);

void ClearRecord(ReminderRecord& r);
// Same kind, beep on or off alike, same day, same time within a millisecond and the same note.
bool RecordsEqual(const ReminderRecord& a, const ReminderRecord& b);

// Told of every change to the store (see Store::NotifyChanged); it must not change the store.
class StoreChangeListener {
public:
    virtual ~StoreChangeListener() = default;
    virtual void storeChanged() = 0;
};

class Store {
public:
    explicit Store(platform::FileSystem& files) : m_files(&files) {}
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    ReminderTable ActiveTable;
    std::int32_t ActiveCount = 0;
    ReminderTable ExpiredTable;
    std::int32_t ExpiredCount = 0;

    bool TablesChanged = false;
    bool RemindersEnabled = true;
    std::int32_t MonitorState = MonitorIdle;
    ReminderRecord CurrentReminder{};
    bool IconFlashing = false;
    bool TrayIconShown = true;
    bool EditInProgress = false;
    ReminderRecord EditBuffer{};
    std::int32_t EditorMode = EditorIdle;

    // The process-wide date and time formats.
    FormatSettings Formats;

    // "&Disable All": RemindersEnabled is the opposite of its check mark.
    void SetRemindersEnabled(bool on) {
        RemindersEnabled = on;
        NotifyChanged();
    }

    // The one signal of change: every table operation, a load, the edit session, the switch and the
    // end of a display call it, so whoever waits for the next thing to do (the monitor's wake-up)
    // learns of it here. Null detaches the listener.
    void setChangeListener(StoreChangeListener* listener) { m_changeListener = listener; }
    void NotifyChanged() const {
        if (m_changeListener)
            m_changeListener->storeChanged();
    }

    ReminderTable& table(TableId id) { return id == TableId::Active ? ActiveTable : ExpiredTable; }
    std::int32_t& count(TableId id) { return id == TableId::Active ? ActiveCount : ExpiredCount; }

    // Table operations; 0 = done, 1 = full or refused.
    void SortActive();
    void PeekEarliest(ReminderRecord& dest) const;
    void PopEarliest(ReminderRecord& dest);
    int InsertActive(ReminderRecord r);
    int AppendExpired(ReminderRecord r);
    // Stores r in the first unused active slot without sorting (the editor sorts after its appends).
    int AppendActive(ReminderRecord r);
    // Removes entry index of a table, moving the entries above it down so the order is kept.
    void Del_Rem(TableId id, int index);

    // The edit session: EditInProgress, EditorMode and EditBuffer change only here.
    // The editor shows a new reminder.
    void BeginNew() { EditorMode = EditorNew; }
    // Takes entry index of a table out into EditBuffer for the editor; the monitor waits meanwhile.
    void BeginEdit(TableId id, int index);
    // True while the editor holds a reminder taken out of a table.
    bool EditPending() const { return EditInProgress && EditorMode == EditorEdit; }
    // The editor has stored its records in place of the reminder it held.
    void EditStored() {
        EditInProgress = false;
        NotifyChanged();
    }
    // Cancel or close: a reminder the editor holds goes back to the active table (to the expired
    // one when the active table is full, so it is never lost) and the editor is idle. The edit
    // ends before anything is written, so a failed save of "re.dt" (IoError) cannot hold the
    // monitor up.
    void CancelEdit();
    // Writes "rd.dt" and then "re.dt" as they would be with a reminder the editor holds given back;
    // the tables and the edit stay as they are. "re.dt" is not written when "rd.dt" failed.
    void SaveAll();

    // The reminder files, relative to the working directory. Failures throw IoError.
    void LoadActive();
    void LoadExpired();
    void SaveActive();
    void SaveExpired();

    // While a batch is open, AppendExpired rewrites "re.dt" once, when the outermost batch closes,
    // instead of once per appended record. The file's contents afterwards are the same.
    class ExpiredSaveBatch {
    public:
        explicit ExpiredSaveBatch(Store& s) : m_store(s) { ++m_store.m_batchDepth; }
        ExpiredSaveBatch(const ExpiredSaveBatch&) = delete;
        ExpiredSaveBatch& operator=(const ExpiredSaveBatch&) = delete;
        // Writes the pending "re.dt" (throws IoError). Called by the destructor when not called.
        void finish();
        ~ExpiredSaveBatch() noexcept(false);

    private:
        Store& m_store;
        bool m_finished = false;
    };

private:
    void markTablesChanged() {
        TablesChanged = true;
        NotifyChanged();
    }
    void load(TableId id, const char* fileName);
    void save(TableId id, const char* fileName);

    platform::FileSystem* m_files;
    StoreChangeListener* m_changeListener = nullptr;
    int m_batchDepth = 0;
    bool m_expiredSavePending = false;
};

} // namespace tw
