#include "platform/win32/WinFileSystem.h"

#include <windows.h>

#include "platform/win32/WinText.h"

namespace tw::platform::win32 {

int IoCodeFromWinError(std::uint32_t error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return 2; // File not found
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return 3; // Invalid filename
    case ERROR_TOO_MANY_OPEN_FILES:
        return 4; // Too many open files
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return 5; // File access denied
    case ERROR_HANDLE_EOF:
        return 100; // Read beyond end of file
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return 101; // Disk full
    default:
        return static_cast<int>(error);
    }
}

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : m_h(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid())
            ::CloseHandle(m_h);
    }
    bool valid() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }
    HANDLE get() const { return m_h; }
    // Closes and reports the result, which matters after writes.
    bool close() {
        const BOOL ok = ::CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
        return ok != 0;
    }

private:
    HANDLE m_h;
};

int LastIoCode() {
    return IoCodeFromWinError(::GetLastError());
}

// The directory part of path, "." for a bare file name.
std::wstring DirectoryOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return L".";
    if (slash == 0 || (slash == 2 && path[1] == L':'))
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

} // namespace

ReadResult WinFileSystem::readFile(const std::string& path, std::size_t maxBytes) {
    ReadResult r;
    const std::wstring wpath = WidenUtf8(path);
    Handle file(::CreateFileW(wpath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)
            return r;
        r.exists = true;
        r.error = IoCodeFromWinError(err);
        return r;
    }
    r.exists = true;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) {
        r.error = LastIoCode();
        return r;
    }
    const auto fileSize = static_cast<unsigned long long>(size.QuadPart);
    const std::size_t want = fileSize < maxBytes ? static_cast<std::size_t>(fileSize) : maxBytes;
    r.data.resize(want);
    std::size_t got = 0;
    while (got < want) {
        const std::size_t left = want - got;
        const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD n = 0;
        if (!::ReadFile(file.get(), r.data.data() + got, chunk, &n, nullptr)) {
            r.error = LastIoCode();
            break;
        }
        if (n == 0)
            break; // the file shrank meanwhile
        got += n;
    }
    r.data.resize(got);
    return r;
}

int WinFileSystem::replaceFile(const std::string& path, const std::vector<std::uint8_t>& data) {
    const std::wstring target = WidenUtf8(path);
    // A read-only reminder file stays as it is, as when it is opened for writing. MoveFileExW
    // refuses to replace it on Windows; checking first gives the same answer everywhere (Wine).
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return IoCodeFromWinError(ERROR_ACCESS_DENIED);
    // A fresh name beside the target, so that the move stays on one volume and replaces atomically.
    wchar_t tmp[MAX_PATH + 1] = {};
    if (::GetTempFileNameW(DirectoryOf(target).c_str(), L"twk", 0, tmp) == 0)
        return LastIoCode();
    auto fail = [&](DWORD err) {
        ::DeleteFileW(tmp);
        return IoCodeFromWinError(err);
    };
    Handle file(::CreateFileW(tmp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return fail(::GetLastError());
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t left = data.size() - done;
        const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD n = 0;
        if (!::WriteFile(file.get(), data.data() + done, chunk, &n, nullptr))
            return fail(::GetLastError());
        if (n == 0)
            return fail(ERROR_WRITE_FAULT);
        done += n;
    }
    if (!::FlushFileBuffers(file.get()))
        return fail(::GetLastError());
    if (!file.close())
        return fail(::GetLastError());
    if (!::MoveFileExW(tmp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fail(::GetLastError());
    return 0;
}

} // namespace tw::platform::win32
