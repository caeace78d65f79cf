// Table operations, the edit session and the reminder files.
#include "store/Store.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>

#include "store/IoError.h"

namespace tw {

void StoreCheckFailed(const char* what, long value) {
    std::fprintf(stderr, "tellwick: %s out of range: %ld\n", what, value);
    std::abort();
}

namespace {

// One millisecond as a fraction of a day.
constexpr double OneMs = 1.0 / 86'400'000.0;

double Frac(double x) {
    return x - std::trunc(x);
}

void CheckCount(std::int32_t n) {
    if (n < 0 || n > MaxReminders)
        StoreCheckFailed("table count", n);
}

// True when slot a is later than slot j: a later day, or the same day and a later time.
bool Later(const ReminderRecord& a, const ReminderRecord& j) {
    const int day = CompareDay(a.RemDate, j.RemDate);
    return day == 1 || (day == 0 && CompareTimeOfDay(a.RemTime, j.RemTime) == 1);
}

} // namespace

int CompareDay(double a, double b) {
    const double ta = std::trunc(a);
    const double tb = std::trunc(b);
    if (ta == tb)
        return 0;
    if (a > b)
        return 1;
    if (a < b)
        return -1;
    return 0; // a NaN compares equal to everything, so a damaged record cannot upset the sort
}

int CompareTimeOfDay(double a, double b) {
    const double fa = Frac(a);
    const double fb = Frac(b);
    if (std::fabs(fa - fb) < OneMs)
        return 0;
    if (fa > fb)
        return 1;
    if (fa < fb)
        return -1;
    return 0;
}

void ClearRecord(ReminderRecord& r) {
    r.Flag = 0;
    r.Spare = 0;
    r.Beep = 0;
    r.Kind = 0;
    r.RemDate = 0.0;
    r.RemTime = 0.0;
    r.Note[0] = 0;
}

bool RecordsEqual(const ReminderRecord& a, const ReminderRecord& b) {
    return a.Kind == b.Kind && (a.Beep != 0) == (b.Beep != 0) && CompareDay(a.RemDate, b.RemDate) == 0 &&
           CompareTimeOfDay(a.RemTime, b.RemTime) == 0 && a.Note[0] == b.Note[0] &&
           std::memcmp(a.Note + 1, b.Note + 1, a.Note[0]) == 0;
}

void Store::SortActive() {
    CheckCount(ActiveCount);
    const int n = ActiveCount;
    // The pass order decides the order of reminders with equal date and time: keep it as it is.
    for (int a = n - 1; a >= 1; --a) {
        for (int j = a - 1; j >= 0; --j) {
            if (Later(ActiveTable[a], ActiveTable[j])) {
                const ReminderRecord t = ActiveTable[a];
                ActiveTable[a] = ActiveTable[j];
                ActiveTable[j] = t;
            }
        }
    }
    markTablesChanged();
}

void Store::PeekEarliest(ReminderRecord& dest) const {
    CheckCount(ActiveCount);
    if (ActiveCount > 0)
        dest = ActiveTable[ActiveCount - 1];
    else
        ClearRecord(dest);
}

void Store::PopEarliest(ReminderRecord& dest) {
    const bool any = ActiveCount > 0;
    PeekEarliest(dest);
    if (any) {
        --ActiveCount;
        markTablesChanged();
    }
}

int Store::InsertActive(ReminderRecord r) {
    CheckCount(ActiveCount);
    if (ActiveCount >= MaxReminders)
        return 1;
    ActiveTable[ActiveCount] = r;
    ++ActiveCount;
    SortActive();
    markTablesChanged();
    return 0;
}

int Store::AppendActive(ReminderRecord r) {
    CheckCount(ActiveCount);
    if (ActiveCount >= MaxReminders)
        return 1;
    ActiveTable[ActiveCount] = r;
    ++ActiveCount;
    markTablesChanged();
    return 0;
}

int Store::AppendExpired(ReminderRecord r) {
    CheckCount(ExpiredCount);
    if (ExpiredCount >= MaxReminders)
        return 1;
    for (int i = 0; i < ExpiredCount; ++i)
        if (RecordsEqual(r, ExpiredTable[i]))
            return 1;
    ExpiredTable[ExpiredCount] = r;
    ++ExpiredCount;
    markTablesChanged();
    if (m_batchDepth > 0)
        m_expiredSavePending = true;
    else
        SaveExpired();
    return 0;
}

void Store::BeginEdit(TableId id, int index) {
    EditBuffer = table(id)[index];
    Del_Rem(id, index);
    EditInProgress = true;
    EditorMode = EditorEdit;
    NotifyChanged();
}

void Store::CancelEdit() {
    const bool pending = EditPending();
    EditInProgress = false;
    EditorMode = EditorIdle;
    NotifyChanged();
    if (pending && InsertActive(EditBuffer) == 1)
        AppendExpired(EditBuffer);
}

void Store::SaveAll() {
    if (!EditPending()) {
        SaveActive();
        SaveExpired();
        return;
    }
    // A copy of the tables with the edit given back, saved in place of the live ones.
    auto shadow = std::make_unique<Store>(*m_files);
    shadow->ActiveTable = ActiveTable;
    shadow->ActiveCount = ActiveCount;
    shadow->ExpiredTable = ExpiredTable;
    shadow->ExpiredCount = ExpiredCount;
    shadow->EditInProgress = EditInProgress;
    shadow->EditorMode = EditorMode;
    shadow->EditBuffer = EditBuffer;
    ExpiredSaveBatch batch(*shadow); // "re.dt" only after "rd.dt"
    shadow->CancelEdit();
    shadow->SaveActive();
    shadow->SaveExpired();
    batch.finish();
}

void Store::Del_Rem(TableId id, int index) {
    ReminderTable& t = table(id);
    std::int32_t& n = count(id);
    CheckCount(n);
    if (n > 0) {
        if (index < 0 || index >= n)
            StoreCheckFailed("delete index", index);
        --n;
        for (int i = index; i < n; ++i) {
            t[i] = t[i + 1];
            ClearRecord(t[i + 1]);
        }
        if (n == 0)
            ClearRecord(t[0]);
    }
    markTablesChanged();
}

void Store::load(TableId id, const char* fileName) {
    constexpr std::size_t maxBytes = RecordSize * MaxReminders;
    platform::ReadResult r = m_files->readFile(fileName, maxBytes);
    if (!r.exists)
        return;
    // The count is the number of whole records actually read, also when the read failed part-way.
    const std::size_t records = std::min(r.data.size() / RecordSize, static_cast<std::size_t>(MaxReminders));
    ReminderTable& t = table(id);
    for (std::size_t i = 0; i < records; ++i)
        std::memcpy(&t[static_cast<int>(i)], r.data.data() + i * RecordSize, RecordSize);
    count(id) = static_cast<std::int32_t>(records);
    NotifyChanged();
    if (r.error != 0)
        throw IoError(r.error);
}

void Store::save(TableId id, const char* fileName) {
    const std::int32_t n = count(id);
    CheckCount(n);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(n) * RecordSize);
    const ReminderTable& t = table(id);
    for (int i = 0; i < n; ++i)
        std::memcpy(data.data() + static_cast<std::size_t>(i) * RecordSize, &t[i], RecordSize);
    if (const int err = m_files->replaceFile(fileName, data); err != 0)
        throw IoError(err);
}

void Store::LoadActive() {
    load(TableId::Active, ActiveFileName);
}
void Store::LoadExpired() {
    load(TableId::Expired, ExpiredFileName);
}
void Store::SaveActive() {
    save(TableId::Active, ActiveFileName);
}
void Store::SaveExpired() {
    m_expiredSavePending = false;
    save(TableId::Expired, ExpiredFileName);
}

void Store::ExpiredSaveBatch::finish() {
    if (m_finished)
        return;
    m_finished = true;
    if (--m_store.m_batchDepth == 0 && m_store.m_expiredSavePending)
        m_store.SaveExpired();
}

Store::ExpiredSaveBatch::~ExpiredSaveBatch() noexcept(false) {
    if (m_finished)
        return;
    if (std::uncaught_exceptions() > 0) {
        // Unwinding from another error: leave the pending save to the next save point.
        m_finished = true;
        --m_store.m_batchDepth;
        return;
    }
    finish();
}

std::string IoErrorText(int code) {
    switch (code) {
    case IoCode::FileNotFound:
        return "File not found";
    case IoCode::InvalidFilename:
        return "Invalid filename";
    case IoCode::TooManyOpenFiles:
        return "Too many open files";
    case IoCode::AccessDenied:
        return "File access denied";
    case IoCode::ReadBeyondEnd:
        return "Read beyond end of file";
    case IoCode::DiskFull:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(code);
    }
}

} // namespace tw
