#include "platform/device/Process.h"
#include "platform/base/HandleTable.h"
#include "platform/base/LastError.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

void WriteProgram(const TemporaryRoot& root, const std::string& name, const std::string& script) {
    WriteHostFile(root.Host(name), "#!/bin/sh\n" + script);
    std::filesystem::permissions(root.Host(name), std::filesystem::perms::owner_all);
}

BOOL Start(LPCWSTR program, const std::wstring& commandLine, PROCESS_INFORMATION* information = nullptr) {
    std::wstring line = commandLine;
    return CreateProcessW(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, information);
}

TEST(CreateProcess, PassesTheCommandLineAsOneUnchangedArgument) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    WriteProgram(root, "Show.exe", "here=$(dirname \"$0\"); printf '%s|%s' \"$#\" \"$1\" > \"$here/out\"; exit 7\n");
    PROCESS_INFORMATION information{};
    const std::wstring line = L"\\Quillora\\Data\\video.m3u \"quoted\" $HOME 中文";
    ASSERT_TRUE(Start(L"\\show.EXE", line, &information));
    EXPECT_EQ(WaitForSingleObject(information.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(information.hProcess, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(ReadHostFile(root.Host("out")), "1|\\Quillora\\Data\\video.m3u \"quoted\" $HOME 中文");
    EXPECT_TRUE(CloseHandle(information.hThread));
    EXPECT_TRUE(CloseHandle(information.hProcess));
    EXPECT_EQ(WaitForSingleObject(information.hProcess, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(CreateProcess, ARunningProcessTimesOutAWait) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    WriteProgram(root, "Slow.exe", "sleep 0.3\n");
    PROCESS_INFORMATION information{};
    ASSERT_TRUE(Start(L"\\Slow.exe", L"", &information));
    EXPECT_EQ(WaitForSingleObject(information.hProcess, 10), WAIT_TIMEOUT);
    DWORD code = 0;
    GetExitCodeProcess(information.hProcess, &code);
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(information.hProcess, INFINITE), WAIT_OBJECT_0);
    CloseHandle(information.hProcess);
    CloseHandle(information.hThread);
}

TEST(CreateProcess, FailsLikeTheDeviceForWhatCannotRun) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    WriteHostFile(root.Host("Windows/Text.exe"), "not a program");
    EXPECT_FALSE(Start(L"\\Windows\\Missing.exe", L"x"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(Start(L"\\Nowhere\\Missing.exe", L"x"));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(Start(L"\\Windows\\Text.exe", L"x"));
    EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);
    EXPECT_FALSE(Start(L"\\Windows", L"x"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(Start(L"", L"x"));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

} // namespace
