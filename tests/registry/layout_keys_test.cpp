// layout_scan and choose_new_klid on a seeded German Windows: which keys
// count, what the scan finds, how it fails, and the KLID and "Layout Id" it
// chooses for a new layout.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "registry/layout_keys.h"
#include "tests/support/registry_seed.h"

class LayoutKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        seed_german_windows();
        strcpy(layout_file_name, "VezOdorQFZ27.dll");
        target_klid[0] = 0;
    }
    void TearDown() override { remove_german_windows(); }
    static std::string klids()
    {
        std::string all;
        for (int i = 0; i < layout_count; ++i)
            all += std::string(all.empty() ? "" : " ") + layout_entries[i].klid;
        return all;
    }
    static void seed_ours(const char* klid, const char* id)
    {
        seed_layout_key(klid, "VezOdorQFZ27.DLL", "Deutsch - Quarzfeld 2.06", id);
    }
};

TEST_F(LayoutKeys, ScanListsGermanKeysWithCountersAndLayoutIds)
{
    // Windows writes the language in upper case; a lower-case one is not German.
    delete_key_tree(HKEY_LOCAL_MACHINE, (std::string(seed_layouts_path) + "\\00000C07").c_str());
    seed_layout_key("00000c07", "KBDGR.DLL", "German", "0c50");
    seed_layout_key("a0000407", "A.DLL", "A", "0a00");
    seed_layout_key("d0010407", "D.DLL", "D", nullptr);
    seed_layout_key("0407", "SHORT.DLL", "too short", nullptr);
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    EXPECT_EQ("00000407 00000807 00001407 00010407 00020407 a0000407 d0010407", klids());
    EXPECT_EQ(2, max_klid_counter);
    EXPECT_EQ(0x0a00, max_layout_id);
    EXPECT_EQ(1, layout_entries[6].counter);
    EXPECT_STREQ("German (IBM)", layout_entries[3].layout_text);
    EXPECT_STREQ("KBDGR1.DLL", layout_entries[3].layout_file);
    EXPECT_STREQ("0012", layout_entries[3].layout_id);
    EXPECT_EQ(0x12, layout_entries[3].layout_id_value);
    EXPECT_EQ(nullptr, layout_entries[0].layout_id);
    EXPECT_EQ(-1, found_index);
    EXPECT_EQ(-1, target_index);
}

TEST_F(LayoutKeys, ScanReadsPreloadNumbersAndExactSubstitutes)
{
    set_user_lists({{"01", "00000407"}, {"3", "d0010407"}, {"x", "D0020407"}, {" 1", "00000409"}},
                   {{"d0010407", "b0030407"}, {"d0020407", "a0000407"}});
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    ASSERT_EQ(4, preload_count);
    ASSERT_EQ(2, substitute_count);
    struct {
        const char* name;
        LONG number;
        bool canonical;
        const char* substitute;
    } expected[] = {{" 1", 1, false, nullptr}, {"01", 1, false, nullptr},
                    {"3", 3, true, "b0030407"}, {"x", 0, false, nullptr}};
    // Wine enumerates the values in name order, Windows in creation order:
    // each expectation looks its entry up by name.
    for (const auto& e : expected) {
        const preload_entry* entry = nullptr;
        for (int i = 0; i < preload_count; ++i)
            if (strcmp(preload_entries[i].name, e.name) == 0)
                entry = &preload_entries[i];
        ASSERT_NE(nullptr, entry) << "no entry '" << e.name << "'";
        EXPECT_EQ(e.number, entry->number) << "'" << e.name << "'";
        EXPECT_EQ(e.canonical, entry->canonical) << "'" << e.name << "'";
        // D0020407 does not match the Substitutes name d0020407: case matters.
        EXPECT_STREQ(e.substitute, entry->substitute) << "'" << e.name << "'";
    }
}

TEST_F(LayoutKeys, ScanFindsTheLibraryAndTheTarget)
{
    seed_ours("b0010407", "0c00");
    seed_ours("b0020407", "0c01");
    strcpy(layout_file_name, "vezodorqfz27.DLL");
    strcpy(target_klid, "B0010407");
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    ASSERT_EQ("00000407 00000807 00000C07 00001407 00010407 00020407 b0010407 b0020407", klids());
    EXPECT_EQ(7, found_index);   // the last of the two read
    EXPECT_EQ(6, target_index);
    EXPECT_FALSE(found_in_preload);

    // The uninstaller's empty file name finds no key that has a "Layout File".
    layout_file_name[0] = 0;
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    EXPECT_EQ(-1, found_index);
}

TEST_F(LayoutKeys, FoundInPreloadDirectlyOrThroughSubstitutes)
{
    seed_ours("b0030407", "0c00");
    struct {
        reg_values preload, substitutes;
        bool listed;
    } cases[] = {
        {{{"1", "00000407"}, {"2", "B0030407"}}, {}, true},
        {{{"1", "00000407"}}, {{"d0090407", "b0030407"}}, true},
        {{{"1", "00000407"}, {"2", "d0010407"}}, {{"d0010407", "b0030407"}}, true},
        {{{"1", "00000407"}, {"2", "d0010407"}}, {{"d0010407", "a0000407"}}, false},
    };
    for (const auto& c : cases) {
        set_user_lists(c.preload, c.substitutes);
        ASSERT_TRUE(layout_scan()) << layout_error_text;
        ASSERT_EQ(6, found_index);
        EXPECT_EQ(c.listed, found_in_preload) << testing::PrintToString(c.preload) << " "
                                              << testing::PrintToString(c.substitutes);
    }
}

TEST_F(LayoutKeys, ScanFailsWhenAKeyIsMissing)
{
    struct {
        HKEY root;
        const char* path;
        const char* text;
    } cases[] = {
        {HKEY_CURRENT_USER, seed_preload_path,
         "Fehler beim Öffnen des Registry-Keys HKEY_CURRENT_USER\\Keyboard Layout\\Preload"},
        {HKEY_CURRENT_USER, seed_substitutes_path,
         "Fehler beim Öffnen des Registry-Keys HKEY_CURRENT_USER\\Keyboard Layout\\Substitutes"},
        {HKEY_LOCAL_MACHINE, seed_layouts_path,
         "Fehler beim Öffnen des Registry-Keys HKEY_LOCAL_MACHINE\\System\\CurrentControlSet"
         "\\Control\\Keyboard Layouts"},
    };
    for (const auto& c : cases) {
        seed_german_windows();
        delete_key_tree(c.root, c.path);
        EXPECT_FALSE(layout_scan()) << c.path;
        EXPECT_STREQ(c.text, layout_error_text);
    }
}

// More entries than the lists hold must stop the run before anything is
// written, rather than drop entries from the rewritten lists. Preload keeps
// one place free for the layout that an installation adds.
TEST_F(LayoutKeys, ScanRefusesListsBeyondTheirCapacity)
{
    reg_values preload;
    for (int i = 1; i <= 99; ++i)
        preload.emplace_back(std::to_string(i), "00000407");
    set_user_lists(preload, {});
    EXPECT_TRUE(layout_scan()) << layout_error_text;
    preload.emplace_back("100", "00000407");
    set_user_lists(preload, {});
    EXPECT_FALSE(layout_scan());
    EXPECT_STREQ("Zu viele Einträge in HKEY_CURRENT_USER\\Keyboard Layout\\Preload: höchstens 99 "
                 "können bearbeitet werden.\nEs wurde nichts verändert.",
                 layout_error_text);

    set_user_lists({{"1", "00000407"}}, {});
    char klid[16];
    for (int i = 0; i < 94; ++i) {   // 100 German keys with the six seeded ones
        snprintf(klid, sizeof klid, "a%03x0407", i);
        seed_layout_key(klid, "X.DLL", "X", nullptr);
    }
    EXPECT_TRUE(layout_scan()) << layout_error_text;
    EXPECT_EQ(100, layout_count);
    seed_layout_key("a1000407", "X.DLL", "X", nullptr);
    EXPECT_FALSE(layout_scan());
    EXPECT_NE(nullptr, strstr(layout_error_text, "Zu viele Einträge in HKEY_LOCAL_MACHINE\\System"))
        << layout_error_text;
}

TEST_F(LayoutKeys, NewKlidAndLayoutIdForAFreshLayout)
{
    struct {
        const char* extra_klid;
        const char* extra_id;
        const char* klid;
        const char* layout_id;
    } cases[] = {
        {nullptr, nullptr, "b0030407", "0c00"},      // counters 000 to 002
        {"00030407", "0100", "b0040407", "0c00"},    // an id below 0c00 changes nothing
        {"a00b0407", "0c07", "b00c0407", "0c08"},
        {"c0010407", "0BFF", "b0030407", "0c00"},
        // A "Layout Id" of 0c00 on a layout of another language is passed over.
        {"00000809", "0c00", "b0030407", "0c01"},
    };
    for (const auto& c : cases) {
        seed_german_windows();
        if (c.extra_klid)
            seed_layout_key(c.extra_klid, "X.DLL", "X", c.extra_id);
        ASSERT_TRUE(layout_scan()) << layout_error_text;
        EXPECT_TRUE(choose_new_klid(-1)) << layout_error_text;
        EXPECT_STREQ(c.klid, new_klid);
        EXPECT_STREQ(c.layout_id, new_layout_id) << (c.extra_klid ? c.extra_klid : "seed only");
    }
}

TEST_F(LayoutKeys, LayoutIdStaysUniqueAcrossLanguages)
{
    seed_layout_key("a0010407", "X.DLL", "X", "0c07");
    seed_layout_key("a0000409", "Y.DLL", "Y", "0C08");
    seed_layout_key("a001040c", "Z.DLL", "Z", "0c09");
    seed_layout_key("a002040c", "Z.DLL", "Z", "0c0b");
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    ASSERT_TRUE(choose_new_klid(-1)) << layout_error_text;
    EXPECT_STREQ("0c0a", new_layout_id);
}

TEST_F(LayoutKeys, UpdateReusesTheFoundKeyAndRefusals)
{
    seed_ours("b0050407", "0c03");
    seed_ours("b0060407", nullptr);
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    ASSERT_TRUE(choose_new_klid(6)) << layout_error_text;
    EXPECT_STREQ("b0050407", new_klid);
    EXPECT_STREQ("0c03", new_layout_id);
    ASSERT_TRUE(choose_new_klid(7)) << layout_error_text;
    EXPECT_STREQ("b0060407", new_klid);
    EXPECT_STREQ("", new_layout_id);

    // A KLID given to the scan is one that exists: nothing new to choose.
    strcpy(target_klid, "b0050407");
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    EXPECT_FALSE(choose_new_klid(-1));
    EXPECT_STREQ("Schlüssel schon vorhanden", layout_error_text);

    // b1000407 would be nine characters long.
    target_klid[0] = 0;
    seed_layout_key("afff0407", "X.DLL", "X", nullptr);
    ASSERT_TRUE(layout_scan()) << layout_error_text;
    EXPECT_FALSE(choose_new_klid(-1));
    EXPECT_STREQ("", new_klid);
    EXPECT_STREQ("Keine freie KLID mehr: die Nummern der Tastaturbelegungen sind bis fff vergeben.",
                 layout_error_text);
}

TEST_F(LayoutKeys, TextHelpers)
{
    EXPECT_TRUE(same_text(nullptr, nullptr));
    EXPECT_FALSE(same_text("a", nullptr));
    EXPECT_FALSE(same_text(nullptr, ""));
    EXPECT_TRUE(same_text("VezOdorQFZ27.DLL", "vezodorqfz27.dll"));
    EXPECT_TRUE(same_text("Änderung", "äNDERUNG"));
    EXPECT_FALSE(same_text("b0030407", "b0030407 "));
    EXPECT_TRUE(is_standard_klid("00000C07"));
    EXPECT_FALSE(is_standard_klid("0000040"));
    EXPECT_FALSE(is_standard_klid("000004070"));
    EXPECT_FALSE(is_standard_klid("d0010407"));
    EXPECT_FALSE(is_standard_klid(nullptr));
}
