// The single-instance guard with real named mutexes, and the channel's named pipe, against other
// processes (win32_probe.exe).
#include <gtest/gtest.h>

#include <cstring>

#include "WinTestSupport.h"
#include "platform/SingleInstance.h"
#include "platform/win32/WinInstanceChannel.h"
#include "platform/win32/WinInstanceGuard.h"
#include "platform/win32/WinText.h"

using namespace tw::platform;
using tw::wintest::Probe;
using tw::wintest::RunProbe;

namespace {

// A path of its own per test, so that tests never share a lock; with a letter outside ASCII.
std::wstring PathFor(const char* test) {
    return L"C:\\Users\\J\u00fcrgen\\" + std::wstring(test, test + std::strlen(test)) + L"\\" +
           std::to_wstring(::GetCurrentProcessId()) + L"\\Tellwick.exe";
}

} // namespace

TEST(WinInstanceGuard, TwoCopiesLeaveOne) {
    const std::wstring path = PathFor("two");
    {
        WinInstanceGuard first;
        ASSERT_TRUE(first.acquire(WinInstanceIdentifier(path)));
        EXPECT_EQ(RunProbe({L"guard", path}), 1u) << "a second copy must see the first";
        // The same path spelled in other cases, "\u00fc" as "\u00dc" too, is the same instance.
        std::wstring upper = path;
        ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
        ASSERT_NE(upper.find(L'\u00dc'), std::wstring::npos);
        EXPECT_EQ(RunProbe({L"guard", upper}), 1u);
        // A copy from another path runs alongside.
        EXPECT_EQ(RunProbe({L"guard", PathFor("two-other")}), 0u);
    }
    // The first copy has ended: the next start is a first copy again.
    EXPECT_EQ(RunProbe({L"guard", path}), 0u);
}

TEST(WinInstanceGuard, AFirstCopyInAnotherProcessHoldsTheLock) {
    const std::wstring path = PathFor("held");
    const std::string id = WinInstanceIdentifier(path);
    Probe holder({L"hold", path}, true);
    ASSERT_TRUE(holder.ready());
    {
        WinInstanceGuard second;
        EXPECT_FALSE(second.acquire(id));
    }
    // Another handle keeps the mutex alive, so that killing its holder abandons it.
    const std::wstring name = WidenUtf8(id + "Default");
    HANDLE keep = ::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
    ASSERT_NE(keep, nullptr);
    // Killed without a chance to release: the system frees the lock with the process.
    holder.kill();
    {
        WinInstanceGuard next;
        EXPECT_TRUE(next.acquire(id)) << "an abandoned lock belongs to the next copy";
        EXPECT_TRUE(next.acquire(id)) << "asking again keeps the lock";
        EXPECT_EQ(RunProbe({L"guard", path}), 1u);
    }
    ::CloseHandle(keep);
}

// A second copy's messages reach the first copy through the pipe; ill-formed and oversized ones
// are answered "ignored" and not taken; the pipe's name holds the user's SID.
TEST(WinInstanceChannel, MessagesReachTheFirstCopyAndAnythingElseChangesNothing) {
    const std::wstring path = PathFor("channel");
    const std::string id = WinInstanceIdentifier(path);
    EXPECT_NE(WinInstanceChannel::pipeName(id).find(L"-S-1-5-"), std::wstring::npos);
    WinInstanceChannel second;
    EXPECT_EQ(second.send(id, {"new", ""}, 1000), SendResult::NotRunning);
    Probe first({L"listen", path}, true);
    ASSERT_TRUE(first.ready());
    EXPECT_EQ(second.send(id, {"new", ""}, 5000), SendResult::Done);
    EXPECT_EQ(second.send(id, {"add", "Gr\xc3\xbc\xc3\x9f"}, 5000), SendResult::Done);
    // The answer's line comes back whole, with nothing in it that would break the second copy's line.
    std::string text;
    EXPECT_EQ(second.send(id, {"echo", "a\nGr\xc3\xbc\xc3\x9f\x1b"}, 5000, &text), SendResult::Refused);
    EXPECT_EQ(text, "a?Gr\xc3\xbc\xc3\x9f?");
    // Raw bytes over a connection of their own: the answer byte, or nothing.
    auto raw = [&](const std::string& bytes) {
        const std::wstring name = WinInstanceChannel::pipeName(id);
        HANDLE h = INVALID_HANDLE_VALUE;
        for (int i = 0; i < 50 && h == INVALID_HANDLE_VALUE; ++i) {
            h = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_PIPE_BUSY)
                ::WaitNamedPipeW(name.c_str(), 100);
        }
        if (h == INVALID_HANDLE_VALUE)
            return std::string("refused");
        DWORD n = 0;
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
        char c = 0;
        const bool got = ::ReadFile(h, &c, 1, &n, nullptr) && n == 1;
        ::CloseHandle(h);
        return got ? std::string(1, c) : std::string();
    };
    EXPECT_EQ(raw("bogus words\n"), "?");
    EXPECT_EQ(raw(std::string(tw::platform::MaxMessageSize + 100, 'a')), "?");
    EXPECT_EQ(raw("new 0\n"), "+");
    EXPECT_EQ(second.send(id, {"quit", ""}, 5000), SendResult::Done);
    EXPECT_EQ(first.wait(), 10u + 5u) << "new, add, echo, new, quit";
    EXPECT_EQ(second.send(id, {"new", ""}, 1000), SendResult::NotRunning) << "the pipe goes with its process";
}
