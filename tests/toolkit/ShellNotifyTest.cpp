#include "toolkit/ShellNotify.h"
#include "support/TestShell.h"

#include "platform/base/LastError.h"
#include "platform/device/MessageQueue.h"
#include "platform/window/WindowApi.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

HWND FakeWindow(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }

TEST(ShellNotify, AnnouncementsReachTheShellInOrder) {
    TestShell shell;
    EXPECT_TRUE(ShellNotifyRegister(FakeWindow(0x1234), 20));
    EXPECT_TRUE(ShellNotifyRegister(FakeWindow(0x1234), 1));
    EXPECT_TRUE(ShellNotifyUnregister(FakeWindow(0x1234), 1));
    EXPECT_FALSE(ShellNotifyRegister(nullptr, 292));
    std::vector<ShellNotifyMessage> seen = shell.Announcements();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].kind, ShellNotifyKindRegister);
    EXPECT_EQ(seen[0].window, 0x1234u);
    EXPECT_EQ(seen[0].value, 20u);
    EXPECT_EQ(seen[1].value, 1u);
    EXPECT_EQ(seen[2].kind, ShellNotifyKindUnregister);
}

TEST(ShellNotify, WithoutAShellOrWithAFullQueueTheCallSaysFalse) {
    EXPECT_FALSE(ShellNotifyRegister(FakeWindow(0x10), 20));
    TestShell shell;
    // The queue holds 16 messages; a shell that reads none makes the 17th fail at once.
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(ShellNotifyRegister(FakeWindow(0x10), i));
    EXPECT_FALSE(ShellNotifyRegister(FakeWindow(0x10), 16));
    EXPECT_EQ(shell.Announcements().size(), 16u);
    EXPECT_TRUE(ShellNotifyRegister(FakeWindow(0x10), 17));
}

TEST(ShellNotify, WritesFromSeveralThreadsArriveWhole) {
    TestShell shell;
    std::vector<std::thread> writers;
    for (std::uint32_t t = 1; t <= 4; ++t) {
        writers.emplace_back([t] {
            for (int i = 0; i < 3; ++i)
                ShellNotifyRegister(FakeWindow(t), t * 100);
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    std::vector<ShellNotifyMessage> seen = shell.Announcements();
    EXPECT_EQ(seen.size(), 12u);
    for (const ShellNotifyMessage& message : seen)
        EXPECT_EQ(message.value, message.window * 100);
}

TEST(ShellNotify, EventMessagesAreTheRegisteredNames) {
    EXPECT_EQ(LockphoneMessageId(), RegisterWindowMessageW(L"ShellNotifyMsg/EntryLockphone"));
    EXPECT_EQ(ShutDownMessageId(), RegisterWindowMessageW(L"ShellNotifyMsg/EntryShutDown"));
    EXPECT_EQ(MusicMessageId(), RegisterWindowMessageW(L"ShellNotifyMsg/EntryMusic"));
    EXPECT_EQ(CallMessageId(), RegisterWindowMessageW(L"CALL_MESSAGE"));
    EXPECT_NE(LockphoneMessageId(), ShutDownMessageId());
    EXPECT_GE(LockphoneMessageId(), 0xC000u);
}

} // namespace

namespace {

MSGQUEUEOPTIONS Options(bool reads, DWORD flags = MSGQUEUE_ALLOW_BROKEN, DWORD maxMessages = 2) {
    return MSGQUEUEOPTIONS{sizeof(MSGQUEUEOPTIONS), flags, maxMessages, 8, reads ? TRUE : FALSE};
}

TEST(MessageQueues, TwoEndsOfOneNameMeet) {
    MSGQUEUEOPTIONS readOptions = Options(true), writeOptions = Options(false);
    HANDLE reader = CreateMsgQueue(L"test-queue", &readOptions);
    EXPECT_EQ(GetLastError(), 0u);
    HANDLE writer = CreateMsgQueue(L"test-queue", &writeOptions);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    std::thread later([writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        WriteMsgQueue(writer, "late", 4, 0, MSGQUEUE_MSGALERT);
    });
    char buffer[8];
    DWORD read = 0, flags = 0;
    ASSERT_TRUE(ReadMsgQueue(reader, buffer, sizeof buffer, &read, 5000, &flags));
    later.join();
    EXPECT_EQ(std::string(buffer, read), "late");
    EXPECT_EQ(flags, MSGQUEUE_MSGALERT);

    EXPECT_FALSE(WriteMsgQueue(writer, "123456789", 9, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_TRUE(WriteMsgQueue(writer, "a", 1, 0, 0));
    EXPECT_TRUE(WriteMsgQueue(writer, "b", 1, 0, 0));
    EXPECT_FALSE(WriteMsgQueue(writer, "c", 1, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
    EXPECT_FALSE(ReadMsgQueue(writer, buffer, sizeof buffer, &read, 0, nullptr)); // a write end does not read
    CloseMsgQueue(writer);
    // What was written stays readable; then the queue is broken, not merely empty.
    EXPECT_TRUE(ReadMsgQueue(reader, buffer, sizeof buffer, &read, 0, nullptr));
    EXPECT_TRUE(ReadMsgQueue(reader, buffer, sizeof buffer, &read, 0, nullptr));
    EXPECT_FALSE(ReadMsgQueue(reader, buffer, sizeof buffer, &read, INFINITE, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PIPE_NOT_CONNECTED);
    CloseMsgQueue(reader);
    EXPECT_FALSE(CloseMsgQueue(reader));
}

TEST(MessageQueues, AWaitingWriterLearnsThatTheReaderLeft) {
    // The queue is made by its first end, with room for one message.
    MSGQUEUEOPTIONS readOptions = Options(true, MSGQUEUE_ALLOW_BROKEN, 1), writeOptions = Options(false);
    HANDLE reader = CreateMsgQueue(L"left-queue", &readOptions);
    HANDLE writer = CreateMsgQueue(L"left-queue", &writeOptions);
    ASSERT_TRUE(WriteMsgQueue(writer, "x", 1, 0, 0));
    std::thread leaving([reader] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        CloseMsgQueue(reader);
    });
    EXPECT_FALSE(WriteMsgQueue(writer, "y", 1, INFINITE, 0));
    EXPECT_EQ(GetLastError(), ERROR_PIPE_NOT_CONNECTED);
    leaving.join();
    CloseMsgQueue(writer);
}

} // namespace
