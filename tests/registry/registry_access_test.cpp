// The registry access layer on Wine's registry: recursive deletion, values
// that do not fit the shared buffers, and texts written without terminator.
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "registry/registry_access.h"
#include "tests/support/registry_seed.h"

static const char test_path[] = "Software\\QuarzfeldTests\\registry_access";

class RegistryAccess : public ::testing::Test {
protected:
    HKEY key = nullptr;
    void SetUp() override
    {
        delete_key_tree(HKEY_CURRENT_USER, test_path);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, test_path, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
    }
    void TearDown() override
    {
        RegCloseKey(key);
        delete_key_tree(HKEY_CURRENT_USER, test_path);
    }
    std::string path(const char* below) { return std::string(test_path) + "\\" + below; }
    void set_raw(const char* name, DWORD type, const std::string& data)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type,
                                                reinterpret_cast<const BYTE*>(data.data()),
                                                static_cast<DWORD>(data.size())));
    }
};

TEST_F(RegistryAccess, DeleteTreeRemovesNestedKeysAndOnlyThem)
{
    set_key_values(HKEY_CURRENT_USER, path("tree\\a\\deep\\deeper").c_str(), {{"v", "1"}});
    set_key_values(HKEY_CURRENT_USER, path("tree\\b").c_str(), {{"v", "2"}});
    set_key_values(HKEY_CURRENT_USER, path("tree\\c\\d").c_str(), {});
    set_key_values(HKEY_CURRENT_USER, path("sibling").c_str(), {{"keep", "me"}});
    std::string sibling = snapshot_tree(HKEY_CURRENT_USER, path("sibling").c_str());

    // RegDeleteKeyA refuses a key that still has subkeys, so a true result
    // means the deepest keys went first.
    EXPECT_TRUE(reg_delete_tree(key, "tree"));
    EXPECT_FALSE(key_exists(HKEY_CURRENT_USER, path("tree").c_str()));
    EXPECT_EQ(sibling, snapshot_tree(HKEY_CURRENT_USER, path("sibling").c_str()));

    // The name may come straight from the shared buffer that the recursion reuses.
    set_key_values(HKEY_CURRENT_USER, path("tree\\x\\y").c_str(), {});
    ASSERT_TRUE(reg_enum_subkey(key, 1));
    ASSERT_STREQ("tree", enum_key_name);
    EXPECT_TRUE(reg_delete_tree(key, enum_key_name));
    EXPECT_FALSE(key_exists(HKEY_CURRENT_USER, path("tree").c_str()));
}

TEST_F(RegistryAccess, DeleteTreeRefusesEmptyAndMissingNames)
{
    set_key_values(HKEY_CURRENT_USER, path("child").c_str(), {{"v", "1"}});
    set_raw("own", REG_SZ, "value");
    std::string before = snapshot_tree(HKEY_CURRENT_USER, test_path);
    // The empty name would address the key itself.
    EXPECT_FALSE(reg_delete_tree(key, ""));
    EXPECT_FALSE(reg_delete_tree(key, "missing"));
    EXPECT_EQ(before, snapshot_tree(HKEY_CURRENT_USER, test_path));
}

// Created in name order, so that Windows (creation order) and Wine (name
// order) enumerate them alike.
TEST_F(RegistryAccess, UnreadableValuesAreSkippedAndTheNextIndexStillReads)
{
    set_raw("a data too long", REG_BINARY, std::string(261, 'x'));
    set_raw(("b" + std::string(259, 'n')).c_str(), REG_SZ, std::string("name too long", 14));
    set_raw("c fits", REG_SZ, std::string("1234", 5));
    ASSERT_EQ(3u, reg_count_values(key));
    EXPECT_FALSE(reg_enum_value(key, 0));
    EXPECT_FALSE(reg_enum_value(key, 1));
    ASSERT_TRUE(reg_enum_value(key, 2));
    EXPECT_STREQ("c fits", enum_value_name);
    EXPECT_STREQ("1234", enum_value_data);
    EXPECT_FALSE(reg_enum_value(key, 3));
}

// Callers read the data as text whatever its type. Binary data (unlike a
// REG_SZ value, for which RegEnumValueA wants room for a terminator) can
// fill all 260 bytes; the text must still end inside the buffer.
TEST_F(RegistryAccess, DataOfExactly260BytesIsATerminatedText)
{
    std::string full(reg_data_size, 'z');
    set_raw("full", REG_BINARY, full);
    memset(enum_value_data, 'q', sizeof enum_value_data);
    ASSERT_TRUE(reg_enum_value(key, 0));
    EXPECT_EQ(full, std::string(enum_value_data));
    EXPECT_EQ(0, enum_value_data[reg_data_size]);
}

TEST_F(RegistryAccess, SetTextWritesAnEmptyTextAsRegSzWithoutData)
{
    ASSERT_TRUE(reg_set_text(key, "empty", ""));
    ASSERT_TRUE(reg_set_text(key, "word", "Lösche"));
    DWORD type = 0, size = 99;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "empty", nullptr, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(0u, size);
    EXPECT_EQ((reg_values{{"empty", ""}, {"word", "Lösche"}}),
              read_values(HKEY_CURRENT_USER, test_path));
}

TEST_F(RegistryAccess, OpenCreateAndCountReportFailureAsNoneOrZero)
{
    EXPECT_EQ(nullptr, reg_open_read(key, "missing"));
    EXPECT_EQ(nullptr, reg_open_full(key, "missing"));
    HKEY created = reg_create_key(key, "new\\nested");
    ASSERT_NE(nullptr, created);
    RegCloseKey(created);
    HKEY opened = reg_open_read(key, "new");
    ASSERT_NE(nullptr, opened);
    EXPECT_EQ(1u, reg_count_subkeys(opened));
    EXPECT_EQ(0u, reg_count_values(opened));
    EXPECT_FALSE(reg_enum_subkey(opened, 1));
    RegCloseKey(opened);
    // A handle that the query refuses counts as no subkeys and no values.
    EXPECT_EQ(0u, reg_count_subkeys(nullptr));
    EXPECT_EQ(0u, reg_count_values(nullptr));
}
