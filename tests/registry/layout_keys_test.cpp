// layout_scan and choose_new_klid on a seeded German Windows (layout keys
// 00000407, 00000807, 00000C07, 00001407, 00010407 with "Layout Id" 0012,
// 00020407 with 00c1, and some of other languages).
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "product/product.h"
#include "registry/layout_keys.h"
#include "tests/support/registry_seed.h"

class LayoutKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        seed_german_windows();
        reset_layout_state();
        strcpy(layout_file_name, library_search_name);
    }
    void TearDown() override { remove_german_windows(); }
    static std::string klids()
    {
        std::string all;
        for (int i = 0; i < layout_count; ++i)
            all += std::string(i ? " " : "") + layout_entries[i].klid;
        return all;
    }
    // "klid=id klid=id": layout keys of another library; an empty id writes none.
    static void seed_keys(const char* keys)
    {
        for (const auto& key : parse_values(keys))
            seed_layout_key(key.first.c_str(), "X.DLL", "X",
                            key.second.empty() ? nullptr : key.second.c_str());
    }
};

TEST_F(LayoutKeys, ScanListsGermanKeysOnly)
{
    // Windows writes the language in upper case: 00000c07 is not German.
    delete_key_tree(HKEY_LOCAL_MACHINE, (std::string(seed_layouts_path) + "\\00000C07").c_str());
    seed_keys("00000c07=0c50 0407= a0000407=0a00 d0010407=");
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    EXPECT_EQ("00000407 00000807 00001407 00010407 00020407 a0000407 d0010407", klids());
    EXPECT_EQ(2, max_klid_counter);
    EXPECT_EQ(0x0a00, max_layout_id);
    EXPECT_STREQ("KBDGR1.DLL", layout_entries[3].layout_file);
    EXPECT_STREQ("German (IBM)", layout_entries[3].layout_text);
    EXPECT_STREQ("0012", layout_entries[3].layout_id);
}

TEST_F(LayoutKeys, ScanFindsLibraryTargetAndUserListing)
{
    for (const char* klid : {"b0010407", "b0020407"})
        seed_layout_key(klid, library_file_name, layout_name, nullptr);
    strcpy(layout_file_name, "vezodorqfz27.DLL");
    strcpy(target_klid, "B0010407");
    struct {
        const char *preload, *substitutes;
        bool listed;
    } cases[] = {
        {"1=00000407 2=d0010407", "d0010407=a0000407", false},
        {"1=00000407 2=B0020407", "", true},
        {"1=00000407", "d0090407=b0020407", true},   // only in Substitutes
        {"1=00000407 2=d0010407", "d0010407=b0020407", true},
    };
    for (const auto& c : cases) {
        set_user_lists(parse_values(c.preload), parse_values(c.substitutes));
        ASSERT_TRUE(layout_scan()) << layout_error_text;
        EXPECT_EQ(7, found_index);   // the last of the two keys that name the library
        EXPECT_EQ(6, target_index);
        EXPECT_EQ(c.listed, found_in_preload) << c.preload << " / " << c.substitutes;
    }
    layout_file_name[0] = 0;   // the uninstaller's scan
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    EXPECT_EQ(-1, found_index);
}

TEST_F(LayoutKeys, ScanFailsOnMissingKeysAndOverfullLists)
{
    struct {
        HKEY root;
        const char *root_name, *path;
    } missing[] = {
        {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", seed_preload_path},
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", seed_layouts_path},
    };
    for (const auto& m : missing) {
        seed_german_windows();
        delete_key_tree(m.root, m.path);
        EXPECT_FALSE(layout_scan());
        EXPECT_EQ(std::string("Fehler beim Öffnen des Registry-Keys ") + m.root_name + "\\" + m.path,
                  layout_error_text);
    }

    // A profile without a Substitutes key has no substitutes.
    seed_german_windows();
    delete_key_tree(HKEY_CURRENT_USER, seed_substitutes_path);
    EXPECT_TRUE(layout_scan()) << layout_error_text;
    EXPECT_EQ(0, substitute_count);

    // Dropping entries would lose them from the rewritten lists: the scan
    // stops the run instead. A full list is read whole (a removal needs no
    // room); adding to it is refused by the plan.
    reg_values preload;
    for (int i = 1; i <= 100; ++i)
        preload.emplace_back(std::to_string(i), "00000409");
    set_user_lists(preload, {});
    EXPECT_TRUE(layout_scan()) << layout_error_text;
    preload.emplace_back("101", "00000409");
    set_user_lists(preload, {});
    EXPECT_FALSE(layout_scan());
    EXPECT_STREQ("Zu viele Einträge in HKEY_CURRENT_USER\\Keyboard Layout\\Preload: höchstens 100 "
                 "können bearbeitet werden.\n"
                 "Die Listen der Tastaturbelegungen des Benutzers (Preload und Substitutes) "
                 "wurden nicht verändert.",
                 layout_error_text);

    // "Layout Id" values of other languages matter only to a new
    // registration; a removal scans past any number of them.
    set_user_lists(parse_values("1=00000407"), {});
    char klid[16];
    for (int i = 0; i <= 100; ++i) {
        char id[8];
        snprintf(klid, sizeof klid, "a%03x0409", i);
        snprintf(id, sizeof id, "%04x", 0x0c00 + i);
        seed_layout_key(klid, "X.DLL", "X", id);
    }
    EXPECT_TRUE(layout_scan()) << layout_error_text;
    EXPECT_FALSE(choose_new_klid(-1));
    EXPECT_STREQ("Zu viele Einträge in HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\"
                 "Keyboard Layouts: höchstens 100 können bearbeitet werden.\n"
                 "Die Listen der Tastaturbelegungen des Benutzers (Preload und Substitutes) "
                 "wurden nicht verändert.",
                 layout_error_text);

    for (int i = 0; i < 94; ++i) {   // with the six seeded ones, 100 German keys
        snprintf(klid, sizeof klid, "a%03x0407", i);
        seed_layout_key(klid, "X.DLL", "X", nullptr);
    }
    EXPECT_TRUE(layout_scan()) << layout_error_text;
    seed_keys("a1000407=");
    EXPECT_FALSE(layout_scan());
    EXPECT_NE(nullptr, strstr(layout_error_text, "HKEY_LOCAL_MACHINE\\System")) << layout_error_text;
}

TEST_F(LayoutKeys, FreshKlidAndLayoutId)
{
    struct {
        const char *keys, *klid, *layout_id;
    } cases[] = {
        {"", "b0030407", "0c00"},
        {"00030407=0100", "b0040407", "0c00"},
        {"a00b0407=0c07", "b00c0407", "0c08"},
        {"c0010407=0BFF", "b0030407", "0c00"},
        // "Layout Id" values of other languages are passed over.
        {"00000809=0c00", "b0030407", "0c01"},
        {"a0010407=0c07 a0000409=0C08 a001040c=0c09 a002040c=0c0b", "b0030407", "0c0a"},
        // A new id has four hexadecimal digits: other forms do not count for
        // the largest, and above ffff the lowest free one is taken.
        {"a0010407=7fffffff a0020407=0c10 a0030407=c20", "b0040407", "0c11"},
        {"a0010407=ffff a0020407=0c00", "b0030407", "0c01"},
    };
    for (const auto& c : cases) {
        seed_german_windows();
        seed_keys(c.keys);
        ASSERT_TRUE(layout_scan()) << layout_error_text;
        EXPECT_TRUE(choose_new_klid(-1)) << layout_error_text;
        EXPECT_STREQ(c.klid, new_klid) << c.keys;
        EXPECT_STREQ(c.layout_id, new_layout_id) << c.keys;
    }
}

TEST_F(LayoutKeys, UpdateReusesTheKeyAndRefusals)
{
    seed_keys("b0050407=0c03 b0060407=");
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    ASSERT_TRUE(choose_new_klid(6)) << layout_error_text;
    EXPECT_STREQ("b0050407", new_klid);
    EXPECT_STREQ("0c03", new_layout_id);
    ASSERT_TRUE(choose_new_klid(7)) << layout_error_text;
    EXPECT_STREQ("", new_layout_id);

    strcpy(target_klid, "b0050407");
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    EXPECT_FALSE(choose_new_klid(-1));
    EXPECT_STREQ("Schlüssel schon vorhanden", layout_error_text);

    // After fff the KLID would be b1000407, nine characters long.
    target_klid[0] = 0;
    seed_keys("afff0407=");
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    EXPECT_FALSE(choose_new_klid(-1));
    EXPECT_STREQ("", new_klid);
    EXPECT_STREQ("Keine freie KLID: Neue KLIDs werden nach der höchsten vorhandenen Nummer "
                 "vergeben, und die Tastaturbelegung afff0407 trägt schon die höchste mögliche "
                 "Nummer fff.",
                 layout_error_text);
}
