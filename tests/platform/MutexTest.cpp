#include "platform/device/Mutex.h"
#include "platform/base/LastError.h"
#include "support/ForkedChild.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr LPCWSTR Instance = L"Quillora.Instance";

struct Created {
    HANDLE handle;
    DWORD error;
};

Created Create(LPCWSTR name, BOOL owned = FALSE) {
    // A value no outcome leaves, so that a call that forgets to set the last error shows.
    SetLastError(ERROR_INVALID_DATA);
    HANDLE handle = CreateMutexW(nullptr, owned, name);
    return {handle, GetLastError()};
}

using Child = ForkedChild;

TEST(NamedMutex, TheNameLastsWhileAnyHandleIsOpenOwnedOrNot) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    Created first = Create(Instance, TRUE);
    ASSERT_NE(first.handle, nullptr);
    EXPECT_EQ(first.error, ERROR_SUCCESS);
    EXPECT_TRUE(ReleaseMutex(first.handle));

    Created second = Create(Instance);
    ASSERT_NE(second.handle, nullptr);
    EXPECT_NE(second.handle, first.handle);
    EXPECT_EQ(second.error, ERROR_ALREADY_EXISTS) << "releasing gives up ownership, not the name";
    EXPECT_TRUE(CloseHandle(first.handle));
    Created third = Create(Instance);
    EXPECT_EQ(third.error, ERROR_ALREADY_EXISTS) << "the second handle still holds the name";
    EXPECT_TRUE(CloseHandle(second.handle));
    EXPECT_TRUE(CloseHandle(third.handle));

    Created again = Create(Instance);
    EXPECT_EQ(again.error, ERROR_SUCCESS);
    // Names are compared exactly, unlike the device's file names.
    Created otherCase = Create(L"quillora.instance");
    EXPECT_EQ(otherCase.error, ERROR_SUCCESS);
    Created unnamed = Create(nullptr), unnamedToo = Create(nullptr);
    EXPECT_EQ(unnamedToo.error, ERROR_SUCCESS) << "unnamed mutexes share no name";
    for (HANDLE handle : {again.handle, otherCase.handle, unnamed.handle, unnamedToo.handle})
        CloseHandle(handle);
}

TEST(NamedMutex, OnlyTheOwningThreadReleases) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    HANDLE owned = CreateMutexW(nullptr, TRUE, L"Owned");
    ASSERT_NE(owned, nullptr);
    BOOL releasedElsewhere = TRUE;
    DWORD errorElsewhere = 0;
    std::thread([&] {
        releasedElsewhere = ReleaseMutex(owned);
        errorElsewhere = GetLastError();
    }).join();
    EXPECT_FALSE(releasedElsewhere);
    EXPECT_EQ(errorElsewhere, ERROR_NOT_OWNER);
    EXPECT_TRUE(ReleaseMutex(owned));
    EXPECT_FALSE(ReleaseMutex(owned));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);

    // Asking to own a name that exists gets a handle, not the ownership.
    Created existing = Create(L"Owned", TRUE);
    EXPECT_EQ(existing.error, ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(ReleaseMutex(existing.handle));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    for (HANDLE handle : {owned, existing.handle})
        CloseHandle(handle);
}

TEST(NamedMutex, SeparatorsInANameNeitherLeaveTheRootNorMergeNames) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    const LPCWSTR names[] = {L"a/b", L"a\\b", L"a_b", L"a%2Fb", L"..", L"../../outside", L"\\Windows\\x", L"/"};
    std::vector<HANDLE> handles;
    for (LPCWSTR name : names) {
        Created created = Create(name);
        ASSERT_NE(created.handle, nullptr) << name;
        EXPECT_EQ(created.error, ERROR_SUCCESS) << name;
        handles.push_back(created.handle);
    }
    namespace fs = std::filesystem;
    EXPECT_FALSE(fs::exists(root.Path().parent_path() / "outside"));
    EXPECT_FALSE(fs::exists(root.Path() / "outside"));
    // All the names live in one folder: none made a folder of its own.
    int folders = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root.Path()))
        folders += entry.is_directory();
    EXPECT_EQ(folders, 1);
    for (HANDLE handle : handles)
        CloseHandle(handle);
}

TEST(NamedMutex, AnotherProcessHoldsTheNameUntilItIsKilled) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::alarm(60);
        ::close(report[0]);
        HANDLE mutex = CreateMutexW(nullptr, TRUE, Instance);
        char made = mutex && GetLastError() == ERROR_SUCCESS && ReleaseMutex(mutex) ? 'y' : 'n';
        if (::write(report[1], &made, 1) != 1)
            ::_exit(1);
        for (;;)
            ::pause();
    }
    Child child(pid);
    ::close(report[1]);
    ASSERT_EQ(ReadReport(report[0]), 'y');

    Created mine = Create(Instance);
    ASSERT_NE(mine.handle, nullptr);
    EXPECT_EQ(mine.error, ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(CloseHandle(mine.handle));
    Created stillHeld = Create(Instance);
    EXPECT_EQ(stillHeld.error, ERROR_ALREADY_EXISTS) << "closing this process's handle left the child's hold";
    EXPECT_TRUE(CloseHandle(stillHeld.handle));

    child.Kill();
    Created afterDeath = Create(Instance);
    ASSERT_NE(afterDeath.handle, nullptr);
    EXPECT_EQ(afterDeath.error, ERROR_SUCCESS);
    CloseHandle(afterDeath.handle);
    ::close(report[0]);
}

} // namespace
