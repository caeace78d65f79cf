// Quick entry into the store and "rd.dt", without a window.
#include "store/QuickAdd.h"

#include <cstring>

#include "store/IoError.h"
#include "store/Recurrence.h"

namespace tw {

namespace {

QuickEntryContext ContextOf(const QuickAddServices& s) {
    return QuickEntryContext{s.clock.now(), s.locale, s.codePage, &s.zone};
}

std::string FileError(const IoError& e) {
    return std::string(ActiveFileName) + ": " + e.what();
}

} // namespace

ReminderRecord QuickRecord(const QuickEntry& e, const platform::CodePage& codePage) {
    ReminderRecord r{};
    r.Kind = KindPopUp;
    r.Beep = 0;
    r.RemDate = e.date();
    r.RemTime = e.time();
    SetNote(r, codePage.fromUtf8(e.note));
    WriteRule(r, RuleAt(e.repeat, r.RemDate, r.RemTime));
    return r;
}

namespace {

// Stores an accepted reading and saves "rd.dt".
QuickAddResult StoreReading(Store& store, const QuickEntryContext& ctx, const QuickReading& reading) {
    const QuickEntry entry = reading.entry();
    const ReminderRecord r = QuickRecord(entry, ctx.codePage);
    if (store.InsertActive(r) != 0)
        return {QuickAddFailed, "Count of reminder must be less " + std::to_string(MaxReminders)};
    try {
        store.SaveActive();
    } catch (const IoError& e) {
        // Not saved, so not stored: the record leaves the table again (any slot with its image).
        for (int i = 0; i < store.ActiveCount; ++i) {
            if (std::memcmp(&store.ActiveTable[i], &r, RecordSize) == 0) {
                store.Del_Rem(TableId::Active, i);
                break;
            }
        }
        return {QuickAddFailed, FileError(e)};
    }
    return {QuickAddStored, QuickEntryLine(entry, ctx)};
}

} // namespace

QuickAddResult TakeQuickEntry(Store& store, std::string_view text, const QuickAddServices& services) {
    const QuickEntryContext ctx = ContextOf(services);
    const QuickReading reading = ReadQuickEntry(text, ctx);
    if (!reading.accepted())
        return {QuickAddRefused, reading.error};
    return StoreReading(store, ctx, reading);
}

QuickAddResult AddQuickEntryToFile(Store& store, std::string_view text, const QuickAddServices& services) {
    // The line first: a refused one touches no file.
    const QuickEntryContext ctx = ContextOf(services);
    const QuickReading reading = ReadQuickEntry(text, ctx);
    if (!reading.accepted())
        return {QuickAddRefused, reading.error};
    try {
        store.LoadActive();
    } catch (const IoError& e) {
        return {QuickAddFailed, FileError(e)};
    }
    return StoreReading(store, ctx, reading);
}

} // namespace tw
