// Replays every input the fuzzers once found to fail; each must now pass quietly.

#include "FuzzTargets.h"
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
        target(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++count;
    }
    EXPECT_GT(count, 0) << "no inputs in " << inputs;
}

TEST(FuzzRegressions, Primitives) { Replay("primitives", &FuzzPrimitives); }
TEST(FuzzRegressions, Pages) { Replay("pages", &FuzzPages); }
TEST(FuzzRegressions, Classifier) { Replay("classifier", &FuzzClassifier); }

} // namespace
