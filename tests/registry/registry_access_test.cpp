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
        set_key_values(HKEY_CURRENT_USER, test_path, {});
        key = reg_open_full(HKEY_CURRENT_USER, test_path);
        ASSERT_NE(nullptr, key);
    }
    void TearDown() override
    {
        RegCloseKey(key);
        delete_key_tree(HKEY_CURRENT_USER, test_path);
    }
    static std::string path(const char* below) { return std::string(test_path) + "\\" + below; }
};

TEST_F(RegistryAccess, DeleteTree)
{
    for (const char* below : {"keep", "tree\\a\\deep\\deeper", "tree\\b", "tree\\c\\d"})
        set_key_values(HKEY_CURRENT_USER, path(below).c_str(), {{"v", below}});
    std::string kept = snapshot_tree(HKEY_CURRENT_USER, path("keep").c_str());
    std::string everything = snapshot_tree(HKEY_CURRENT_USER, test_path);
    EXPECT_FALSE(reg_delete_tree(key, ""));   // would address the key itself
    EXPECT_EQ(nullptr, reg_create_key(key, ""));
    EXPECT_FALSE(reg_delete_tree(key, "missing"));
    EXPECT_EQ(everything, snapshot_tree(HKEY_CURRENT_USER, test_path));

    // RegDeleteKeyA refuses a key that has subkeys, so true means the deepest
    // went first. The name may come from the buffer that the recursion reuses.
    ASSERT_TRUE(reg_enum_subkey(key, 1));
    ASSERT_STREQ("tree", enum_key_name);
    EXPECT_TRUE(reg_delete_tree(key, enum_key_name));
    EXPECT_FALSE(key_exists(HKEY_CURRENT_USER, path("tree").c_str()));
    EXPECT_EQ(kept, snapshot_tree(HKEY_CURRENT_USER, path("keep").c_str()));
}

// The values are created in name order, so that Windows (creation order) and
// Wine (name order) enumerate them alike.
TEST_F(RegistryAccess, EnumValueSkipsWhatDoesNotFitAndEndsEveryText)
{
    auto set = [&](const std::string& name, DWORD type, const std::string& data) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name.c_str(), 0, type,
                                                reinterpret_cast<const BYTE*>(data.data()),
                                                static_cast<DWORD>(data.size())));
    };
    set("a data too long", REG_BINARY, std::string(261, 'x'));
    set("b" + std::string(259, 'n'), REG_SZ, "name too long");
    // Binary data can fill all 260 bytes (REG_SZ data would need room for a
    // terminator); callers still read it as a text.
    set("c full", REG_BINARY, std::string(260, 'z'));
    ASSERT_EQ(3u, reg_count_values(key));
    EXPECT_FALSE(reg_enum_value(key, 0));
    EXPECT_FALSE(reg_enum_value(key, 1));
    memset(enum_value_data, 'q', sizeof enum_value_data);
    ASSERT_TRUE(reg_enum_value(key, 2));
    EXPECT_STREQ("c full", enum_value_name);
    ASSERT_EQ(0, enum_value_data[reg_data_size]);
    EXPECT_EQ(std::string(260, 'z'), enum_value_data);
    EXPECT_FALSE(reg_enum_value(key, 3));
    EXPECT_EQ(0u, reg_count_values(nullptr));   // a failed query counts nothing
}

TEST_F(RegistryAccess, EmptyTextIsRegSzWithoutData)
{
    ASSERT_TRUE(reg_set_text(key, "empty", ""));
    DWORD type = 0, size = 99;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "empty", nullptr, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(0u, size);
}
