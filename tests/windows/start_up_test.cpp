#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <string>

#include "engine/start_up.h"
#include "product/config.h"

namespace {
// The test's own user, as an access list names an owner.
std::string ownUserSid()
{
    HANDLE token;
    BYTE buffer[256];
    DWORD size = 0;
    char* text = nullptr;
    std::string sid;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
            ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
            sid = text;
            LocalFree(text);
        }
        CloseHandle(token);
    }
    return sid;
}

// A mutex of the lock's earlier global name, as a standard user makes one to
// block every setup: owned by that user, with the access list given.
HANDLE squat(const std::string& access)
{
    const std::string name =
        std::string("Global\\") + installConfig.publisherName + " " + installConfig.productName + " Setup Mate";
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(("O:" + ownUserSid() + access).c_str(), SDDL_REVISION_1,
                                                              &attributes.lpSecurityDescriptor, nullptr)) {
        return nullptr;
    }
    const HANDLE squatter = CreateMutexA(&attributes, FALSE, name.c_str());
    LocalFree(attributes.lpSecurityDescriptor);
    return squatter;
}
} // namespace

// Without private namespaces (XP, Wine) the lock is that global name, and
// only one that belongs to the Administrators group is another run's; with
// them the squatter cannot reach the lock at all.
TEST(ProductLock, ANameSquattedByAnotherUserBlocksNothingWhileASecondRunIsRefused)
{
    for (const char* access : {"D:(A;;GA;;;WD)", "D:"}) {
        const HANDLE squatter = squat(access);
        ASSERT_NE(squatter, nullptr) << access;
        EXPECT_TRUE(holdProductLock()) << "a squatter whose access list is " << access;
        CloseHandle(squatter);
    }
    EXPECT_TRUE(holdProductLock());
    EXPECT_FALSE(holdProductLock()) << "the lock is held";
}
