// PrintText on each platform.
#include "shell/PrintText.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tw {

#ifdef _WIN32

namespace {

std::wstring widen(const std::string& text) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

bool writeHandle(HANDLE h, const std::string& text) {
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(h, &mode)) {
        const std::wstring wide = widen(text);
        return ::WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
    }
    return ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
}

} // namespace

void PrintText(const std::string& text, bool error) {
    if (text.empty())
        return;
    const DWORD which = error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    if (writeHandle(::GetStdHandle(which), text))
        return;
    // Started from a console: the text goes there (the prompt has come back already; the text
    // appears after it).
    static bool attached = ::AttachConsole(ATTACH_PARENT_PROCESS) != 0;
    if (attached) {
        HANDLE console = ::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        const bool written = writeHandle(console, text);
        if (console != INVALID_HANDLE_VALUE)
            ::CloseHandle(console);
        if (written)
            return;
    }
    ::MessageBoxW(nullptr, widen(text).c_str(), L"Tellwick", MB_OK | (error ? MB_ICONWARNING : MB_ICONINFORMATION));
}

#else

void PrintText(const std::string& text, bool error) {
    if (text.empty())
        return;
    std::FILE* f = error ? stderr : stdout;
    std::fputs(text.c_str(), f);
    std::fflush(f);
}

#endif

} // namespace tw
