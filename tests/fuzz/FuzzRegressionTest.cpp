// Replays every input the fuzzers once found to fail, and the seeds; each must now pass
// quietly, on the stack a navigation worker has.

#include "FuzzTargets.h"
#include "convert/NavigationWorker.h"
#include "platform/device/Process.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

void Replay(const char* folder, int (*target)(const std::uint8_t*, std::size_t)) {
    std::filesystem::path inputs = std::filesystem::path(QUILLORA_FUZZ_REGRESSIONS) / folder;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(inputs)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README")
            continue;
        std::string bytes = ReadHostFile(entry.path());
        SCOPED_TRACE(entry.path().string());
        struct Input {
            int (*target)(const std::uint8_t*, std::size_t);
            const std::string& bytes;
        } input{target, bytes};
        HANDLE worker = CreateThread(
            nullptr, WorkerStackSize,
            [](LPVOID parameter) -> DWORD {
                auto& input = *static_cast<Input*>(parameter);
                input.target(reinterpret_cast<const std::uint8_t*>(input.bytes.data()), input.bytes.size());
                return 0;
            },
            &input, 0, nullptr);
        ASSERT_NE(worker, nullptr);
        WaitForSingleObject(worker, INFINITE);
        CloseHandle(worker);
        ++count;
    }
    EXPECT_GT(count, 0) << "no inputs in " << inputs;
}

TEST(FuzzRegressions, Primitives) { Replay("primitives", &FuzzPrimitives); }
TEST(FuzzRegressions, Pages) { Replay("pages", &FuzzPages); }
TEST(FuzzRegressions, Classifier) { Replay("classifier", &FuzzClassifier); }
TEST(FuzzRegressions, Channels) { Replay("channels", &FuzzChannels); }
TEST(FuzzRegressions, Playlist) { Replay("playlist", &FuzzPlaylist); }
TEST(FuzzRegressions, Settings) { Replay("settings", &FuzzSettings); }
TEST(FuzzRegressions, Registry) { Replay("registry", &FuzzRegistry); }
TEST(FuzzRegressions, Script) { Replay("script", &FuzzScript); }

} // namespace
