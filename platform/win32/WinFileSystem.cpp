// Reading and replacing the reminder files with Win32 calls (through symbolic links, in place where
// the folder takes no new file), and the mapping of system errors to the program's I/O error codes.
#include "platform/win32/WinFileSystem.h"

#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <optional>
#include <string>

#include "platform/AtomicSave.h"
#include "platform/win32/WinText.h"

namespace tw::platform {

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
    Handle() = default;
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
    void reset(HANDLE h) {
        if (valid())
            ::CloseHandle(m_h);
        m_h = h;
    }

private:
    HANDLE m_h = INVALID_HANDLE_VALUE;
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

std::wstring NameOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Join(const std::wstring& directory, const std::wstring& name) {
    const wchar_t last = directory.back();
    return last == L'\\' || last == L'/' ? directory + name : directory + L"\\" + name;
}

// The symbolic-link part of a reparse point (REPARSE_DATA_BUFFER, which only the driver kit declares).
struct SymlinkReparseData {
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
    DWORD flags;
    wchar_t pathBuffer[1];
};

// Where the symbolic link at path points (made absolute against the link's folder); nothing when
// path is no symbolic link.
std::optional<std::wstring> LinkTarget(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return std::nullopt;
    Handle link(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!link.valid())
        return std::nullopt;
    alignas(DWORD) unsigned char buffer[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
    DWORD size = 0;
    if (!::DeviceIoControl(link.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer, sizeof buffer, &size, nullptr) ||
        size < offsetof(SymlinkReparseData, pathBuffer))
        return std::nullopt;
    const auto* data = reinterpret_cast<const SymlinkReparseData*>(buffer);
    if (data->tag != IO_REPARSE_TAG_SYMLINK)
        return std::nullopt; // a junction, a cloud placeholder, ...: the file itself
    const auto text = [&](WORD offset, WORD length) {
        if (offsetof(SymlinkReparseData, pathBuffer) + offset + length > size)
            return std::wstring();
        return std::wstring(data->pathBuffer + offset / sizeof(wchar_t), length / sizeof(wchar_t));
    };
    std::wstring target = text(data->printOffset, data->printLength);
    if (target.empty()) {
        target = text(data->substituteOffset, data->substituteLength);
        if (target.rfind(L"\\??\\", 0) == 0)
            target = L"\\\\?\\" + target.substr(4);
    }
    if (target.empty())
        return std::nullopt;
    if ((data->flags & SYMLINK_FLAG_RELATIVE) != 0)
        target = Join(DirectoryOf(path), target);
    return target;
}

// The file a save must replace: path itself, or the file at the end of its symbolic links (also
// one that does not exist yet). GetFinalPathNameByHandleW gives it for a link to an existing file,
// the link's own data for one that points nowhere.
std::wstring ResolveLinks(const std::wstring& path) {
    std::wstring current = path;
    for (int hops = 0; hops < 32; ++hops) {
        Handle file(::CreateFileW(current.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (file.valid()) {
            wchar_t final[MAX_PATH * 4];
            const DWORD n = ::GetFinalPathNameByHandleW(file.get(), final, MAX_PATH * 4, VOLUME_NAME_DOS);
            return n > 0 && n < MAX_PATH * 4 ? std::wstring(final, n) : current;
        }
        const std::optional<std::wstring> next = LinkTarget(current);
        if (!next)
            return current;
        current = *next;
    }
    return current;
}

// The temporary file of a save to target: "<name>.tmp<pid>-<serial>" beside it.
unsigned long s_tempSerial = 0;

std::wstring TempName(const std::wstring& target) {
    return target + L".tmp" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(s_tempSerial++);
}

// The process id in a name made by TempName for a file called name; 0 for any other name.
DWORD TempOwner(const std::wstring& entry, const std::wstring& name) {
    const std::wstring lead = name + L".tmp";
    if (entry.size() <= lead.size() ||
        ::CompareStringOrdinal(entry.c_str(), static_cast<int>(lead.size()), lead.c_str(),
                               static_cast<int>(lead.size()), TRUE) != CSTR_EQUAL)
        return 0;
    const std::wstring rest = entry.substr(lead.size());
    const auto dash = rest.find(L'-');
    const auto digits = [](const std::wstring& s) {
        return !s.empty() && s.size() <= 9 && s.find_first_not_of(L"0123456789") == std::wstring::npos;
    };
    if (dash == std::wstring::npos || !digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1)))
        return 0;
    return static_cast<DWORD>(std::stoul(rest.substr(0, dash)));
}

bool ProcessRunning(DWORD pid) {
    if (pid == ::GetCurrentProcessId())
        return false; // a file of an earlier process with this id: this one leaves none behind
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr)
        return ::GetLastError() == ERROR_ACCESS_DENIED; // someone else's process
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

// Removes the temporary files that saves to target left when they were killed half-way. A file
// whose process still runs may be another copy's save in progress and stays.
void RemoveLeftovers(const std::wstring& target) {
    const std::wstring directory = DirectoryOf(target);
    const std::wstring name = NameOf(target);
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(Join(directory, name + L".tmp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const DWORD owner = TempOwner(found.cFileName, name);
        if (owner != 0 && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !ProcessRunning(owner))
            ::DeleteFileW(Join(directory, found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// Writes all of data to file and flushes it to disk; 0 or a GetLastError value.
DWORD WriteAll(HANDLE file, const std::vector<std::uint8_t>& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t left = data.size() - done;
        const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD n = 0;
        if (!::WriteFile(file, data.data() + done, chunk, &n, nullptr))
            return ::GetLastError();
        if (n == 0)
            return ERROR_WRITE_FAULT;
        done += n;
    }
    return ::FlushFileBuffers(file) ? 0 : ::GetLastError();
}

// The save without a temporary file, for a folder that allows none: the file is truncated and
// written where it is. A failure part-way leaves what was written so far.
int WriteInPlace(const std::wstring& target, const std::vector<std::uint8_t>& data) {
    Handle file(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING, 0, nullptr));
    if (!file.valid())
        return LastIoCode();
    if (const DWORD err = WriteAll(file.get(), data))
        return IoCodeFromWinError(err);
    return file.close() ? 0 : LastIoCode();
}

// The Win32 primitives of AtomicReplace; system errors are GetLastError values.
class WinSaveSteps {
public:
    using Path = std::wstring;
    using File = Handle;

    int resolveLinks(const std::wstring& path, std::wstring& target) {
        target = ResolveLinks(path);
        return 0;
    }
    void removeLeftovers(const std::wstring& target) { RemoveLeftovers(target); }

    // A read-only reminder file stays as it is, as when it is opened for writing. MoveFileExW
    // refuses to replace it on Windows; checking first gives the same answer everywhere (Wine).
    int checkTarget(const std::wstring& target, bool& exists) {
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        exists = attributes != INVALID_FILE_ATTRIBUTES;
        if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
            return ERROR_ACCESS_DENIED;
        return 0;
    }

    std::wstring tempName(const std::wstring& target) { return TempName(target); }

    TempCreate createTemp(const std::wstring& tmp, Handle& file, int& error) {
        const HANDLE created =
            ::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created != INVALID_HANDLE_VALUE) {
            file.reset(created);
            return TempCreate::Created;
        }
        const DWORD err = ::GetLastError();
        error = static_cast<int>(err);
        if (err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS)
            return TempCreate::NameTaken;
        return err == ERROR_ACCESS_DENIED ? TempCreate::Refused : TempCreate::Failed;
    }

    int nameTakenError() const { return ERROR_FILE_EXISTS; }

    int writeAndClose(Handle& file, const std::vector<std::uint8_t>& data) {
        if (const DWORD err = WriteAll(file.get(), data))
            return static_cast<int>(err);
        return file.close() ? 0 : static_cast<int>(::GetLastError());
    }

    int writeInPlace(const std::wstring& target, const std::vector<std::uint8_t>& data) {
        return WriteInPlace(target, data);
    }
    int moveOver(const std::wstring& tmp, const std::wstring& target) {
        if (::MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        return static_cast<int>(::GetLastError());
    }
    void removeTemp(const std::wstring& tmp) { ::DeleteFileW(tmp.c_str()); }
    // MOVEFILE_WRITE_THROUGH has made the move durable.
    void moveDone(const std::wstring&) {}

    int ioCode(int err) const { return IoCodeFromWinError(static_cast<std::uint32_t>(err)); }
};

} // namespace

ReadResult WinFileSystem::readFile(const std::string& path, std::size_t maxBytes) {
    ReadResult r;
    const std::wstring wpath = WidenUtf8(path);
    RemoveLeftovers(ResolveLinks(wpath));
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
    WinSaveSteps steps;
    return AtomicReplace(steps, WidenUtf8(path), data);
}

} // namespace tw::platform
