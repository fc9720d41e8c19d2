// The device's player scripts hand an address to whichever player this machine has,
// and never so that the player could take it for an option.

#include "playback/PlayerLauncher.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class PlayerScriptTest : public ::testing::Test {
protected:
    // A PATH holding only a stand-in for `player`, which writes its arguments one a line,
    // and the two tools the script needs.
    void OnlyPlayer(const std::string& player) {
        std::filesystem::path bin = m_root.Host("host-bin-" + player);
        std::filesystem::create_directories(bin);
        WriteHostFile(bin / player, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" +
                                        m_root.Host("arguments").string() + "\"\n");
        ::chmod((bin / player).c_str(), 0755);
        for (const char* tool : {"tr", "dirname"})
            std::filesystem::create_symlink(std::string("/usr/bin/") + tool, bin / tool);
        // The PATH before the last one's is put back first, or it would come back after.
        m_path.reset();
        m_path = std::make_unique<ScopedEnvironment>("PATH", bin.string());
    }
    // Starts the built-in video player on the address and waits for it.
    DWORD Play(const std::wstring& address) {
        PROCESS_INFORMATION started{};
        EXPECT_TRUE(StartPlayer(BuiltInVideoPlayer, address, &started));
        EXPECT_EQ(WaitForSingleObject(started.hProcess, 10000), WAIT_OBJECT_0);
        DWORD exitCode = 0;
        GetExitCodeProcess(started.hProcess, &exitCode);
        CloseHandle(started.hProcess);
        CloseHandle(started.hThread);
        return exitCode;
    }

    TemporaryRoot m_root;
    ScopedEnvironment m_players{"QUILLORA_NO_PLAYER", ""};
    std::unique_ptr<ScopedEnvironment> m_path;
};

TEST_F(PlayerScriptTest, EveryPlayerGetsTheAddressAfterTheEndOfItsOptions) {
    for (const char* player : {"mpv", "ffplay", "vlc"}) {
        SCOPED_TRACE(player);
        OnlyPlayer(player);
        EXPECT_EQ(Play(L"http://127.0.0.1/flv/a.flv"), 0u);
        std::string arguments = ReadHostFile(m_root.Host("arguments"));
        EXPECT_NE(arguments.find("--\nhttp://127.0.0.1/flv/a.flv\n"), std::string::npos) << arguments;
        ASSERT_GE(arguments.size(), 28u);
        EXPECT_EQ(arguments.substr(arguments.size() - 28), "\nhttp://127.0.0.1/flv/a.flv\n");
    }
}

TEST_F(PlayerScriptTest, AnAddressThatLooksLikeAnOptionIsRefusedAndLogged) {
    OnlyPlayer("mpv");
    EXPECT_EQ(Play(L"--script=/tmp/x.lua"), 1u);
    EXPECT_FALSE(std::filesystem::exists(m_root.Host("arguments")));
    EXPECT_EQ(ReadHostFile(m_root.Host("Windows/player.log")),
              "FtVideo.exe --script=/tmp/x.lua\nFtVideo.exe: refused: an address may not begin with \"-\"\n");
}

} // namespace
