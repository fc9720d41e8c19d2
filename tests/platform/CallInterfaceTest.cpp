#include "platform/device/CallInterface.h"
#include "platform/registry/Registry.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

namespace {

void Configure(LPCWSTR name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Quillora\\CallInterface", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

TEST(CallInterface, DefaultIsAUsableDirectConnection) {
    TemporaryRoot root;
    DWORD status = QueryNetWorkStatus();
    EXPECT_NE(status, NetworkStatusNone);
    EXPECT_NE(status, NetworkStatusWap);
}

TEST(CallInterface, EnvironmentOverridesTheRegistry) {
    TemporaryRoot root;
    Configure(L"NetworkStatus", NetworkStatusWap);
    EXPECT_EQ(QueryNetWorkStatus(), NetworkStatusWap);
    ScopedEnvironment none("QUILLORA_NETWORK_STATUS", "1");
    EXPECT_EQ(QueryNetWorkStatus(), NetworkStatusNone);
}

TEST(CallInterface, ADataCallMakesTheNetworkUsableUntilItEnds) {
    TemporaryRoot root;
    Configure(L"NetworkStatus", NetworkStatusNone);
    Configure(L"DialStartResult", 0);
    EXPECT_EQ(Dial_StartGprsConnect2(nullptr, 4), 0);
    EXPECT_EQ(QueryNetWorkStatus(), NetworkStatusNone);

    Configure(L"DialStartResult", 1);
    Configure(L"DialedStatus", NetworkStatusWap);
    EXPECT_EQ(Dial_StartGprsConnect2(nullptr, 4), 1);
    EXPECT_EQ(QueryNetWorkStatus(), NetworkStatusWap);
    {
        ScopedEnvironment failing("QUILLORA_DIAL_STOP_RESULT", "-3");
        EXPECT_EQ(Dial_StopGprsConnect2(nullptr), -3);
        EXPECT_EQ(QueryNetWorkStatus(), NetworkStatusWap);
    }
    EXPECT_EQ(Dial_StopGprsConnect2(nullptr), 1);
    EXPECT_EQ(QueryNetWorkStatus(), NetworkStatusNone);
}

} // namespace
