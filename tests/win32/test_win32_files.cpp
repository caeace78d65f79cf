// The reminder files on Windows: reads, the atomic replacement (through symbolic links, in place
// where the folder takes no new file, clearing what a killed save left), and the system's error
// codes as the program's I/O errors (a missing file, a directory where a file should be, a
// read-only file).
#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "WinTestSupport.h"
#include "platform/win32/WinFileSystem.h"
#include "store/IoError.h"
#include "store/Store.h"

using namespace tw;
using tw::platform::IoCodeFromWinError;
using tw::platform::WinFileSystem;
using tw::wintest::ScratchDir;

namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

void WriteRaw(const char* name, std::string_view s) {
    std::ofstream out(name, std::ios::binary);
    out.write(s.data(), static_cast<std::streamsize>(s.size()));
}

std::string ReadRaw(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(WinErrorCodes, MapToTheProgramsIoCodes) {
    EXPECT_EQ(IoCodeFromWinError(ERROR_FILE_NOT_FOUND), IoCode::FileNotFound);
    EXPECT_EQ(IoCodeFromWinError(ERROR_PATH_NOT_FOUND), IoCode::InvalidFilename);
    EXPECT_EQ(IoCodeFromWinError(ERROR_INVALID_NAME), IoCode::InvalidFilename);
    EXPECT_EQ(IoCodeFromWinError(ERROR_TOO_MANY_OPEN_FILES), IoCode::TooManyOpenFiles);
    EXPECT_EQ(IoCodeFromWinError(ERROR_ACCESS_DENIED), IoCode::AccessDenied);
    EXPECT_EQ(IoCodeFromWinError(ERROR_SHARING_VIOLATION), IoCode::AccessDenied);
    EXPECT_EQ(IoCodeFromWinError(ERROR_HANDLE_EOF), IoCode::ReadBeyondEnd);
    EXPECT_EQ(IoCodeFromWinError(ERROR_DISK_FULL), IoCode::DiskFull);
    EXPECT_EQ(IoCodeFromWinError(ERROR_HANDLE_DISK_FULL), IoCode::DiskFull);
    // Anything else keeps the system's own number, shown as "I/O error <n>".
    EXPECT_EQ(IoCodeFromWinError(ERROR_CRC), static_cast<int>(ERROR_CRC));
    EXPECT_EQ(IoErrorText(IoCodeFromWinError(ERROR_CRC)), "I/O error 23");
}

TEST(WinFiles, MissingFileIsNoError) {
    ScratchDir dir;
    WinFileSystem fs;
    const auto r = fs.readFile("rd.dt", 1000);
    EXPECT_FALSE(r.exists);
    EXPECT_EQ(r.error, 0);
    const auto inMissingDir = fs.readFile("nowhere\\rd.dt", 1000);
    EXPECT_FALSE(inMissingDir.exists);
    EXPECT_EQ(inMissingDir.error, 0);

    Store s(fs);
    s.LoadActive();
    s.LoadExpired();
    EXPECT_EQ(s.ActiveCount, 0);
    EXPECT_TRUE(dir.entries().empty()) << "loading must create nothing";
}

TEST(WinFiles, ReplaceWritesReadsBackAndLeavesNoTemporaryFile) {
    ScratchDir dir;
    WinFileSystem fs;
    ASSERT_EQ(fs.replaceFile("rd.dt", Bytes("a longer first version")), 0);
    ASSERT_EQ(fs.replaceFile("rd.dt", Bytes("short")), 0);
    EXPECT_EQ(ReadRaw("rd.dt"), "short");
    const auto r = fs.readFile("rd.dt", 3);
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.data, Bytes("sho"));

    ASSERT_EQ(fs.replaceFile("re.dt", {}), 0);
    const auto empty = fs.readFile("re.dt", 1000);
    EXPECT_TRUE(empty.exists);
    EXPECT_TRUE(empty.data.empty());
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"rd.dt", "re.dt"}));

    // Paths are UTF-8; a folder name outside the ANSI code page works as well.
    ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::path(L"\u65e5\u672c")));
    EXPECT_EQ(fs.replaceFile("\xe6\x97\xa5\xe6\x9c\xac\\rd.dt", Bytes("x")), 0);
    EXPECT_EQ(fs.readFile("\xe6\x97\xa5\xe6\x9c\xac\\rd.dt", 10).data, Bytes("x"));
}

TEST(WinFiles, DirectoryWhereTheFileShouldBeIsAccessDenied) {
    ScratchDir dir;
    ASSERT_TRUE(::CreateDirectoryW(L"rd.dt", nullptr));
    WinFileSystem fs;
    const auto r = fs.readFile("rd.dt", 1000);
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.error, IoCode::AccessDenied);
    EXPECT_EQ(fs.replaceFile("rd.dt", Bytes("data")), IoCode::AccessDenied);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"rd.dt"}) << "the temporary file must be gone";

    Store s(fs);
    try {
        s.LoadActive();
        FAIL() << "no IoError";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
}

TEST(WinFiles, ReadOnlyFileIsAccessDeniedAndKeepsItsContents) {
    ScratchDir dir;
    WriteRaw("rd.dt", "old contents");
    ASSERT_TRUE(::SetFileAttributesW(L"rd.dt", FILE_ATTRIBUTE_READONLY));
    WinFileSystem fs;
    EXPECT_EQ(fs.readFile("rd.dt", 100).data, Bytes("old contents")) << "a read-only file still reads";
    EXPECT_EQ(fs.replaceFile("rd.dt", Bytes("new")), IoCode::AccessDenied);
    EXPECT_EQ(ReadRaw("rd.dt"), "old contents");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"rd.dt"});

    Store s(fs);
    s.ActiveCount = 1;
    try {
        s.SaveActive();
        FAIL() << "no IoError";
    } catch (const IoError& e) {
        EXPECT_EQ(e.code(), IoCode::AccessDenied);
    }
}

TEST(WinFiles, FileHeldOpenByAnotherProgramIsAccessDenied) {
    ScratchDir dir;
    WriteRaw("rd.dt", "held");
    // Opened with no sharing at all, as a program that locks the file would.
    HANDLE h = ::CreateFileW(L"rd.dt", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    WinFileSystem fs;
    EXPECT_EQ(fs.readFile("rd.dt", 100).error, IoCode::AccessDenied);
    EXPECT_EQ(fs.replaceFile("rd.dt", Bytes("new")), IoCode::AccessDenied);
    ::CloseHandle(h);
    EXPECT_EQ(ReadRaw("rd.dt"), "held");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"rd.dt"});
}

// Under Wine, the Unix name of a Windows path (kernel32's wine_get_unix_file_name); empty elsewhere.
std::wstring UnixName(const std::wstring& path) {
    using Converter = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Converter>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    wchar_t full[MAX_PATH] = {};
    if (convert == nullptr || ::GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr) == 0)
        return {};
    char* name = convert(full);
    if (name == nullptr)
        return {};
    const std::string bytes(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return std::wstring(bytes.begin(), bytes.end()); // the scratch folder's name is ASCII
}

// Runs a Unix tool from /bin under Wine, which starts Unix programs as it starts Windows ones; but
// neither the handle's end nor the exit code says when or how the tool ended, so callers wait for
// its outcome with WaitFor.
void RunUnixTool(const std::wstring& tool, const std::wstring& arguments) {
    const std::wstring program = L"Z:\\bin\\" + tool;
    std::wstring cmd = program + L" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(program.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return;
    ::WaitForSingleObject(pi.hProcess, 10000);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
}

// Polls done for up to ten seconds; its last answer.
bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 200 && !done(); ++i)
        ::Sleep(50);
    return done();
}

// Makes a symbolic link to an existing file: a Windows one where the system makes them (developer
// mode or rights), else under Wine a Unix one (Wine 8 makes no Windows links). False when neither.
bool MakeLink(const std::wstring& link, const std::wstring& target) {
    const DWORD unprivileged = 0x2; // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    ::CreateSymbolicLinkW(link.c_str(), target.c_str(), unprivileged);
    const DWORD attributes = ::GetFileAttributesW(link.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return true;
    const std::wstring unixLink = UnixName(link);
    if (unixLink.empty())
        return false;
    std::wstring unixTarget = target;
    std::replace(unixTarget.begin(), unixTarget.end(), L'\\', L'/');
    RunUnixTool(L"ln", L"-s " + unixTarget + L" \"" + unixLink + L"\"");
    return WaitFor([&] { return ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

// Removes a link to an existing file itself: under Wine DeleteFileW would remove that file.
void RemoveLink(const std::wstring& link) {
    if (const std::wstring unixLink = UnixName(link); !unixLink.empty()) {
        RunUnixTool(L"rm", L"-f \"" + unixLink + L"\"");
        WaitFor([&] { return ::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
    } else {
        ::DeleteFileW(link.c_str());
    }
}

TEST(WinFiles, SymbolicLinksAreSavedThroughToTheFileTheyNameInItsOwnFolder) {
    ScratchDir dir;
    ASSERT_TRUE(::CreateDirectoryW(L"synced", nullptr));
    WriteRaw("synced\\rd.dt", "old");
    if (!MakeLink(L"rd.dt", L"synced\\rd.dt"))
        GTEST_SKIP() << "this system makes no symbolic links here";
    // The link goes before its target: Wine neither sees nor removes a Unix link that points nowhere.
    struct Unlink {
        ~Unlink() { RemoveLink(L"rd.dt"); }
    } unlink;
    WinFileSystem fs;
    ASSERT_EQ(fs.replaceFile("rd.dt", Bytes("new")), 0);
    EXPECT_EQ(ReadRaw("synced\\rd.dt"), "new");
    // Still a link: what is written to the target reads through it.
    WriteRaw("synced\\rd.dt", "changed elsewhere");
    EXPECT_EQ(fs.readFile("rd.dt", 100).data, Bytes("changed elsewhere"));
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"rd.dt", "synced"}));

    // A link to a file not yet there creates that file (Windows links only: Wine cannot see such a link).
    const DWORD unprivileged = 0x2;
    ::CreateSymbolicLinkW(L"re.dt", L"synced\\re.dt", unprivileged);
    if ((::GetFileAttributesW(L"re.dt") & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
        ::GetFileAttributesW(L"re.dt") == INVALID_FILE_ATTRIBUTES)
        return;
    ASSERT_EQ(fs.replaceFile("re.dt", Bytes("expired")), 0);
    EXPECT_NE(::GetFileAttributesW(L"re.dt") & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_EQ(ReadRaw("synced\\re.dt"), "expired");
    ::DeleteFileW(L"re.dt");
}

TEST(WinFiles, AFileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
    ScratchDir dir;
    ASSERT_TRUE(::CreateDirectoryW(L"closed", nullptr));
    WriteRaw("closed\\rd.dt", "old contents");
    // Everyone may do everything in the folder but add a file to it.
    PSECURITY_DESCRIPTOR closed = nullptr;
    PSECURITY_DESCRIPTOR open = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(D;;0x2;;;WD)(A;OICI;FA;;;WD)",
                                                                       SDDL_REVISION_1, &closed, nullptr));
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;OICI;FA;;;WD)", SDDL_REVISION_1, &open,
                                                                       nullptr));
    const auto info = DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
    ASSERT_TRUE(::SetFileSecurityW(L"closed", info, closed));
    HANDLE probe = ::CreateFileW(L"closed\\probe", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    const bool enforced = probe == INVALID_HANDLE_VALUE;
    if (!enforced) {
        ::CloseHandle(probe);
        ::DeleteFileW(L"closed\\probe");
    }
    WinFileSystem fs;
    const int longer = fs.replaceFile("closed\\rd.dt", Bytes("new, and longer"));
    const std::string afterLonger = ReadRaw("closed\\rd.dt");
    const int shorter = fs.replaceFile("closed\\rd.dt", Bytes("short"));
    const std::string afterShorter = ReadRaw("closed\\rd.dt");
    const int missing = fs.replaceFile("closed\\re.dt", Bytes("x"));
    ::SetFileSecurityW(L"closed", info, open);
    ::LocalFree(closed);
    ::LocalFree(open);
    if (!enforced)
        GTEST_SKIP() << "this system does not enforce folder permissions (Wine)";
    EXPECT_EQ(longer, 0);
    EXPECT_EQ(afterLonger, "new, and longer");
    EXPECT_EQ(shorter, 0);
    EXPECT_EQ(afterShorter, "short");
    EXPECT_EQ(missing, IoCode::AccessDenied);
}

TEST(WinFiles, TemporaryFilesOfAKilledSaveAreClearedByTheNextSaveOrRead) {
    ScratchDir dir;
    // A process that has ended, and one that runs (another copy's save in progress).
    tw::wintest::Probe ended({L"exit"}, false);
    ended.wait();
    tw::wintest::Probe running({L"hold", L"C:\\leftovers\\tellwick.exe"}, true);
    ASSERT_TRUE(running.ready());
    const std::string dead = std::to_string(ended.pid());
    const std::string live = std::to_string(running.pid());
    WriteRaw("rd.dt", "kept");
    WriteRaw(("rd.dt.tmp" + dead + "-0").c_str(), "half");
    WriteRaw(("RE.DT.tmp" + dead + "-7").c_str(), "half");
    // Names that only look alike stay.
    std::vector<std::string> others = {"rd.dt",
                                       "rd.dt.tmp",
                                       "rd.dt.tmp" + dead,
                                       "rd.dt.tmp" + dead + "-1x",
                                       "rd.dt.tmp" + live + "-1",
                                       "rd.dt.tmp-" + dead + "-1",
                                       "xrd.dt.tmp" + dead + "-1"};
    for (const std::string& name : others)
        if (name != "rd.dt")
            WriteRaw(name.c_str(), "other");
    std::sort(others.begin(), others.end());

    WinFileSystem fs;
    EXPECT_EQ(fs.readFile("rd.dt", 100).data, Bytes("kept"));
    std::vector<std::string> expected = others;
    expected.push_back("RE.DT.tmp" + dead + "-7");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.entries(), expected);
    ASSERT_EQ(fs.replaceFile("re.dt", Bytes("x")), 0);
    expected = others;
    expected.push_back("re.dt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.entries(), expected);
}
