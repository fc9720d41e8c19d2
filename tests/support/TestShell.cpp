#include "support/TestShell.h"

#include "platform/device/MessageQueue.h"

TestShell::TestShell() {
    MSGQUEUEOPTIONS options{sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 16, sizeof(ShellNotifyMessage), TRUE};
    m_queue = CreateMsgQueue(ShellNotifyQueueName, &options);
    Announcements();
}

TestShell::~TestShell() { CloseMsgQueue(m_queue); }

std::vector<ShellNotifyMessage> TestShell::Announcements() {
    std::vector<ShellNotifyMessage> messages;
    ShellNotifyMessage message{};
    DWORD read = 0;
    while (ReadMsgQueue(m_queue, &message, sizeof message, &read, 0, nullptr) && read == sizeof message)
        messages.push_back(message);
    return messages;
}
