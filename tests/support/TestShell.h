#pragma once
// The device shell's side of its notification queue, for tests: it holds the queue's
// read end while it lives, so that the toolkit's announcements reach it. It starts
// with what an earlier shell left unread thrown away.

#include "toolkit/ShellNotify.h"

#include <vector>

class TestShell {
public:
    TestShell();
    ~TestShell();
    TestShell(const TestShell&) = delete;
    TestShell& operator=(const TestShell&) = delete;

    // Every message announced since the last call, in order.
    std::vector<ShellNotifyMessage> Announcements();

private:
    HANDLE m_queue;
};
