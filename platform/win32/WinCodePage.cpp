// WinCodePage: ANSI bytes to UTF-8 and back through the system's ANSI code page.
#include "platform/win32/WinCodePage.h"

#include <windows.h>

#include "platform/win32/WinText.h"

namespace tw::platform {

std::string WinCodePage::toUtf8(std::string_view ansi) const {
    if (ansi.empty())
        return {};
    const int size = static_cast<int>(ansi.size());
    const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), n);
    return NarrowUtf8(wide);
}

std::string WinCodePage::fromUtf8(std::string_view utf8) const {
    // Invalid UTF-8 turns into U+FFFD here, which no ANSI code page holds: it becomes "?" below.
    std::wstring wide = WidenUtf8(utf8);
    // No ANSI code page holds a character beyond the basic plane: one "?" for its surrogate pair.
    std::size_t out = 0;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const wchar_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            wide[out++] = L'?';
            ++i;
        } else {
            wide[out++] = c;
        }
    }
    wide.resize(out);
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    // WC_NO_BEST_FIT_CHARS: "ā" must become "?", not "a", so that a note never changes silently.
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, "?", nullptr);
    if (n <= 0)
        return std::string(wide.size(), '?');
    std::string ansi(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), n, "?", nullptr);
    return ansi;
}

} // namespace tw::platform
