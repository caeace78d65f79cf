// Line breaks of notes: the files keep CR LF (what the note box of the Windows program wrote), the
// toolkit's text boxes use LF, and one-line places (a title bar, a list cell, a notice) show none.
// Shared by every part that shows or edits a note.
#pragma once

#include <string>
#include <string_view>

namespace tw {

// CR LF, and a lone CR, become LF.
inline std::string BreaksToLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// LF becomes CR LF; a lone CR (never typed into a text box) is dropped.
inline std::string BreaksToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (const char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    return out;
}

// The note on one line: every CR and every LF becomes a blank.
inline std::string OneLineNote(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

} // namespace tw
