// What only the in-memory registry offers: refusing access on purpose, the
// text dump of a tree, and the count of keys left open.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/registry/MemoryRegistry.h"
#include "tests/platform/registry/RegistryProbe.h"

namespace tessaly::registry {
namespace {

TEST(MemoryRegistryTest, DeniedRightsRefuseOpeningButOtherRightsStillOpen) {
    MemoryRegistry memory;
    memory.Deny(kCurrentUser, L"Software\\Locked", access::kSetValue);
    Key key;
    EXPECT_EQ(OpenKey(memory, kCurrentUser, L"Software\\Locked", access::kAllAccess, key), win32::kAccessDenied);
    EXPECT_EQ(OpenKey(memory, kCurrentUser, L"Software\\Locked", access::kWrite, key), win32::kAccessDenied);
    EXPECT_EQ(CreateKey(memory, kCurrentUser, L"Software\\Locked", access::kSetValue, key), win32::kAccessDenied);
    EXPECT_EQ(OpenKey(memory, kCurrentUser, L"Software\\Locked", access::kRead, key), win32::kSuccess);
}

TEST(MemoryRegistryTest, AKeyThatDeniesCreatingSubkeysGetsNoNewOnesAtAnyDepth) {
    MemoryRegistry memory;
    memory.Deny(kCurrentUser, L"Software", access::kCreateSubKey);
    const std::wstring before = memory.Dump(kCurrentUser);

    Key software;
    ASSERT_EQ(OpenKey(memory, kCurrentUser, L"Software", access::kRead, software), win32::kSuccess);
    Key created;
    EXPECT_EQ(CreateKey(memory, kCurrentUser, L"Software\\New\\Deeper", access::kAllAccess, created),
              win32::kAccessDenied);
    EXPECT_EQ(memory.Dump(kCurrentUser), before);

    // Below a new key that allows it, creating works again.
    memory.Deny(kCurrentUser, L"Software\\Open", 0);
    EXPECT_EQ(CreateKey(memory, kCurrentUser, L"Software\\Open\\Deeper", access::kAllAccess, created),
              win32::kSuccess);
}

TEST(MemoryRegistryTest, AKeyThatDeniesDeletionStays) {
    MemoryRegistry memory;
    memory.Deny(kCurrentUser, L"Software\\Kept", access::kDelete);
    EXPECT_EQ(memory.DeleteKey(kCurrentUser, L"Software\\Kept"), win32::kAccessDenied);
    EXPECT_TRUE(testing::KeyExists(memory, kCurrentUser, L"Software\\Kept"));
}

TEST(MemoryRegistryTest, OpenHandlesAreCountedUntilClosed) {
    MemoryRegistry memory;
    EXPECT_EQ(memory.OpenHandleCount(), 0u);
    {
        Key a, b;
        ASSERT_EQ(CreateKey(memory, kCurrentUser, L"Software", access::kAllAccess, a), win32::kSuccess);
        ASSERT_EQ(OpenKey(memory, a.id(), nullptr, access::kRead, b), win32::kSuccess);
        EXPECT_EQ(memory.OpenHandleCount(), 2u);
        Key root(memory, kCurrentUser);
        EXPECT_EQ(memory.OpenHandleCount(), 2u) << "roots are no open handles";
        const KeyId closed = b.id();
        EXPECT_EQ(b.Close(), win32::kSuccess);
        EXPECT_EQ(memory.CloseKey(closed), win32::kInvalidHandle) << "closed twice";
        EXPECT_EQ(memory.OpenHandleCount(), 1u);
    }
    EXPECT_EQ(memory.OpenHandleCount(), 0u);
}

TEST(MemoryRegistryTest, DumpShowsKeysAndValuesWithTheirFirstNamesTypesAndBytes) {
    MemoryRegistry memory;
    Key key;
    ASSERT_EQ(CreateKey(memory, kCurrentUser, L"Software\\App", access::kAllAccess, key), win32::kSuccess);
    const std::uint32_t first = 1, second = 0x0A0B;
    ASSERT_EQ(memory.SetValue(key.id(), L"Count", type::kDword, &first, 4), win32::kSuccess);
    ASSERT_EQ(memory.SetValue(key.id(), L"COUNT", type::kDword, &second, 4), win32::kSuccess);
    const unsigned char byte = 0xFE;
    ASSERT_EQ(memory.SetValue(key.id(), nullptr, type::kBinary, &byte, 1), win32::kSuccess);
    EXPECT_EQ(memory.Dump(kCurrentUser),
              L"\\Software\n"
              L"\\Software\\App\n"
              L"\\Software\\App [@] type 3 = fe\n"
              L"\\Software\\App [Count] type 4 = 0b 0a 00 00\n");
    EXPECT_EQ(memory.Dump(kLocalMachine), L"");
}

// HKEY_CLASSES_ROOT merged as "HKEY_CLASSES_ROOT Key" (Microsoft Learn)
// documents it: a key the user's classes hold is the user's, new keys go to
// the machine's classes, and a key's subkeys are those of both.
TEST(MemoryRegistryTest, TheMergedClassesRootGivesTheUsersKeyFirstAndMakesNewKeysForTheMachine) {
    MemoryRegistry memory(ClassesRoot::Merged);
    Key made;
    ASSERT_EQ(CreateKey(memory, kCurrentUser, L"Software\\Classes\\Both\\User", access::kAllAccess, made), 0u);
    ASSERT_EQ(CreateKey(memory, kLocalMachine, L"Software\\Classes\\Both\\Machine", access::kAllAccess, made), 0u);
    made.Close();
    Key both, fresh;
    ASSERT_EQ(OpenKey(memory, kClassesRoot, L"Both", access::kAllAccess, both), win32::kSuccess);
    const std::uint32_t one = 1;
    ASSERT_EQ(memory.SetValue(both.id(), L"V", type::kDword, &one, 4), win32::kSuccess);
    ASSERT_EQ(CreateKey(memory, both.id(), L"New", access::kAllAccess, fresh), win32::kSuccess);
    EXPECT_EQ(memory.Dump(kCurrentUser),
              L"\\Software\n\\Software\\Classes\n\\Software\\Classes\\Both\n"
              L"\\Software\\Classes\\Both [V] type 4 = 01 00 00 00\n\\Software\\Classes\\Both\\User\n");
    EXPECT_TRUE(testing::KeyExists(memory, kLocalMachine, L"Software\\Classes\\Both\\New"));
    EXPECT_EQ(memory.Dump(kClassesRoot), L"") << "a view, holding nothing of its own";

    wchar_t first[16];
    ASSERT_EQ(memory.FirstSubKeyName(both.id(), first, 16), win32::kSuccess);
    EXPECT_EQ(std::wstring(first), L"Machine") << "both stores' subkeys";
    ASSERT_EQ(memory.DeleteKey(kClassesRoot, L"Both\\User"), win32::kSuccess);
    both.Close();
    // Deleting through the view takes the user's key; the machine's shows then.
    EXPECT_EQ(memory.DeleteKey(kClassesRoot, L"Both"), win32::kSuccess);
    EXPECT_FALSE(testing::KeyExists(memory, kCurrentUser, L"Software\\Classes\\Both"));
    EXPECT_TRUE(testing::KeyExists(memory, kClassesRoot, L"Both\\Machine"));
}

// The real registry may be used from any thread, and so may its host stand-in.
TEST(MemoryRegistryTest, ThreadsMayUseItAtTheSameTime) {
    MemoryRegistry memory;
    auto worker = [&memory](const wchar_t* name, bool* clean) {
        for (std::uint32_t i = 0; i < 2000; ++i) {
            Key key;
            const std::wstring path = std::wstring(L"Software\\") + name + L"\\" + std::to_wstring(i % 7);
            if (CreateKey(memory, kCurrentUser, path.c_str(), access::kAllAccess, key) != win32::kSuccess ||
                memory.SetValue(key.id(), L"I", type::kDword, &i, 4) != win32::kSuccess)
                *clean = false;
            if (i % 7 == 6 && memory.DeleteKey(kCurrentUser, path.c_str()) != win32::kSuccess) *clean = false;
        }
    };
    bool cleanA = true, cleanB = true;
    std::thread a(worker, L"A", &cleanA);
    std::thread b(worker, L"B", &cleanB);
    a.join();
    b.join();
    EXPECT_TRUE(cleanA);
    EXPECT_TRUE(cleanB);
    EXPECT_EQ(memory.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace tessaly::registry
