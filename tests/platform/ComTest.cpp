#include "platform/com/Com.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <tuple>

namespace {

TEST(Com, InitialisationIsCountedPerThread) {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    std::thread other([] {
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
    });
    other.join();
    CoUninitialize();
    CoUninitialize();
    CoUninitialize(); // one too many is harmless
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
}

TEST(Com, GuidsAreRandomVersionFour) {
    std::set<std::tuple<DWORD, WORD, WORD>> seen;
    for (int i = 0; i < 200; ++i) {
        GUID guid{};
        ASSERT_EQ(CoCreateGuid(&guid), S_OK);
        EXPECT_EQ(guid.Data3 >> 12, 4);
        EXPECT_EQ(guid.Data4[0] >> 6, 2);
        seen.insert({guid.Data1, guid.Data2, guid.Data3});
    }
    EXPECT_EQ(seen.size(), 200u);
    EXPECT_EQ(CoCreateGuid(nullptr), E_POINTER);
}

} // namespace
