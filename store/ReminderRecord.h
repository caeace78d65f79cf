// The 288-byte reminder record: the same image in memory and in both reminder files, copied as a
// whole. The field offsets are binding (the files of every earlier run and of the Windows build
// depend on them) and checked below.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

namespace tw {

inline constexpr std::int32_t KindTitle = 1;
inline constexpr std::int32_t KindIcon = 10;
inline constexpr std::int32_t KindPopUp = 100;

inline constexpr int MaxNoteLength = 255;

struct ReminderRecord {
    std::uint8_t Flag;      // set by nothing; non-zero (only from a file) makes the record non-blank
    std::uint8_t Spare;     // reserved, never read
    std::uint8_t Pad1[2];   // alignment gap, 0 in records the program creates
    std::int32_t Kind;      // KindTitle, KindIcon or KindPopUp
    std::uint8_t Beep;      // 0 silent, non-zero beep
    std::uint8_t Pad2[7];   // alignment gap
    double RemDate;         // day-count date: only the whole part counts; 0.0 = no date
    double RemTime;         // day-count time: only the fraction counts
    std::uint8_t Note[256]; // length byte, then up to 255 ANSI characters
};

static_assert(std::endian::native == std::endian::little, "the reminder files are little-endian images");
static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559);
static_assert(sizeof(ReminderRecord) == 288);
static_assert(offsetof(ReminderRecord, Flag) == 0);
static_assert(offsetof(ReminderRecord, Spare) == 1);
static_assert(offsetof(ReminderRecord, Kind) == 4);
static_assert(offsetof(ReminderRecord, Beep) == 8);
static_assert(offsetof(ReminderRecord, RemDate) == 16);
static_assert(offsetof(ReminderRecord, RemTime) == 24);
static_assert(offsetof(ReminderRecord, Note) == 32);
static_assert(std::is_trivially_copyable_v<ReminderRecord>);

inline constexpr std::size_t RecordSize = sizeof(ReminderRecord);

// The note's characters (ANSI bytes), as many as its length byte says.
inline std::string NoteText(const ReminderRecord& r) {
    return std::string(reinterpret_cast<const char*>(r.Note + 1), r.Note[0]);
}

// Sets the note from ANSI bytes, cut to 255 characters. Bytes past the new length are left alone.
inline void SetNote(ReminderRecord& r, std::string_view ansi) {
    const std::size_t n = ansi.size() < MaxNoteLength ? ansi.size() : MaxNoteLength;
    r.Note[0] = static_cast<std::uint8_t>(n);
    for (std::size_t i = 0; i < n; ++i)
        r.Note[1 + i] = static_cast<std::uint8_t>(ansi[i]);
}

} // namespace tw
