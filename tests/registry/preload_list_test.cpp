// Planning and writing the user's Preload and Substitutes lists. Each case is
// checked in the planned list, in the order of the writes and in what the
// registry holds afterwards. Wine enumerates values in name order (Windows in
// creation order), so the order is taken from the writes themselves.
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "product/product.h"
#include "registry/layout_keys.h"
#include "registry/preload_list.h"
#include "tests/support/registry_seed.h"

enum class plan { addition, to_front, removal };

static reg_values sorted(reg_values values)
{
    std::sort(values.begin(), values.end());
    return values;
}

class PreloadList : public ::testing::Test {
protected:
    void SetUp() override
    {
        seed_german_windows();
        reset_layout_state();
    }
    void TearDown() override { remove_german_windows(); }

    // As the flows do: the installer scans for its library and then takes the
    // found KLID, the uninstaller scans for the KLID of its argument.
    static void set_lists(const char* preload, const char* substitutes)
    {
        set_user_lists(parse_values(preload), parse_values(substitutes));
    }
    static bool scan_and_plan(plan action, const char* klid = "b0030407")
    {
        strcpy(layout_file_name, action == plan::removal ? "" : library_search_name);
        strcpy(target_klid, action == plan::removal ? klid : "");
        EXPECT_TRUE(layout_scan()) << layout_error_text;
        if (action == plan::addition)
            return plan_layout_addition(found_index);
        if (action == plan::removal)
            return plan_layout_removal();
        if (found_index != -1)
            strcpy(target_klid, layout_entries[found_index].klid);
        return plan_layout_to_front();
    }
};

TEST_F(PreloadList, PlannedAndWrittenLists)
{
    struct {
        plan action;
        const char *preload, *substitutes;
        const char *preload_writes, *substitute_writes;   // "" nothing, null not touched
    } cases[] = {
        {plan::addition, "1=00000407", "", "2=00000407 1=d0010407", "d0010407=b0030407"},
        {plan::addition, "1=00000407 2=d0010407", "d0010407=a0000407",
         "2=00000407 1=d0010407 3=d0020407", "d0010407=b0030407 d0020407=a0000407"},
        // Numbers from 100 on move back too; Substitutes values that no
        // Preload value uses are not carried over.
        {plan::addition, "1=00000407 98=00000409 99=0000040C 100=00000410", "d0050407=a0000407",
         "2=00000407 99=00000409 100=0000040C 101=00000410 1=d0010407", "d0010407=b0030407"},
        // Names that are no plain position (01) keep their name and place.
        {plan::addition, "01=0000040C 1=00000407", "", "01=0000040C 2=00000407 1=d0010407",
         "d0010407=b0030407"},
        // Substitutes with standard names are written first.
        {plan::addition, "1=d0010407 2=00000407", "d0010407=00000807 00000407=a0000407",
         "2=d0010407 3=00000407 1=d0020407",
         "00000407=a0000407 d0010407=00000807 d0020407=b0030407"},
        {plan::to_front, "1=00000407 2=d0010407 3=d0020407", "d0010407=a0000407 d0020407=b0030407",
         "2=00000407 1=d0020407 3=d0010407", nullptr},
        {plan::to_front, "1=00000407 2=d0010407 x=00000409", "d0010407=b0030407",
         "2=00000407 1=d0010407 x=00000409", nullptr},
        {plan::to_front, "1=d0010407 2=00000407", "d0010407=b0030407", "", nullptr},
        // A list edited by hand with a gap keeps its last layout.
        {plan::to_front, "1=00000407 2=d0010407 7=00000409", "d0010407=b0030407",
         "2=00000407 7=00000409 1=d0010407", nullptr},
        {plan::to_front, "1=00000407 2=b0030407", "", "", nullptr},
        // The neighbour of a removed standard slot inherits its KLID.
        {plan::removal, "1=00000407 2=d0010407", "00000407=b0030407 d0010407=a0000407",
         "1=00000407", "00000407=a0000407"},
        {plan::removal, "1=d0010407 2=00000407", "d0010407=a0000407 00000407=b0030407",
         "1=00000407", "00000407=a0000407"},
        {plan::removal, "1=00000407 2=d0010407 3=d0020407", "d0010407=b0030407 d0020407=a0000407",
         "1=00000407 2=d0010407", "d0010407=a0000407"},
        // Removing the first: the standard entries move up first, names
        // without a plain position go last. (Written in name order, Wine's
        // and Windows' alike.)
        {plan::removal, "1=d0010407 170=d0040407 2=d0020407 3=00000409 x=d0030407",
         "d0010407=b0030407 d0020407=a0000407 d0030407=a0010407 d0040407=a0020407",
         "1=00000409 2=d0010407 3=d0020407 4=d0030407",
         "d0010407=a0000407 d0020407=a0020407 d0030407=a0010407"},
        // A standard entry keeps its number under a name that is no plain
        // position.
        {plan::removal, "01=00000409 1=d0010407 2=d0020407 3=d0030407",
         "d0010407=a0000407 d0020407=b0030407 d0030407=a0010407",
         "1=00000409 2=d0010407 3=d0020407", "d0010407=a0000407 d0020407=a0010407"},
        // Only a Substitutes value that no Preload value uses names the
        // layout: nothing is rewritten.
        {plan::removal, "1=00000407 2=d0010407", "d0010407=a0000407 d0090407=b0030407", "", ""},
        // The layout held the standard slot, but a plain entry is left: its
        // neighbour gets a fresh handle instead of the standard KLID.
        {plan::removal, "1=00000407 2=d0010407 3=a0010407", "00000407=b0030407 d0010407=a0000407",
         "2=a0010407 1=d0010407", "d0010407=a0000407"},
        // Listed directly by its KLID: that entry goes too.
        {plan::removal, "1=00000407 2=b0030407", "", "1=00000407", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.preload) + " / " + c.substitutes);
        seed_german_windows();
        if (c.action != plan::addition)
            seed_layout_key("b0030407", library_file_name, layout_name, "0c00");
        set_lists(c.preload, c.substitutes);
        std::string before = snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout");
        ASSERT_TRUE(scan_and_plan(c.action)) << layout_error_text;
        reg_values preload = parse_values(c.preload_writes);
        reg_values substitutes = parse_values(c.substitute_writes);
        EXPECT_EQ(preload.empty(), preload_unchanged);
        reg_values planned;
        for (int i = 0; i < newpreloadcount; ++i)
            planned.emplace_back(new_preload[i].name, new_preload[i].data);
        if (!preload.empty()) {
            EXPECT_EQ(preload, planned);
        }

        start_recording_value_writes();
        EXPECT_TRUE(write_preload_lists()) << layout_error_text;
        reg_values writes = stop_recording_value_writes();
        reg_values expected = preload;
        expected.insert(expected.end(), substitutes.begin(), substitutes.end());
        EXPECT_EQ(expected, writes);
        EXPECT_EQ(!preload.empty(), preload_rewritten);
        if (preload.empty()) {
            EXPECT_EQ(before, snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout"));
            continue;
        }
        EXPECT_EQ(sorted(preload), sorted(read_values(HKEY_CURRENT_USER, seed_preload_path)));
        EXPECT_EQ(c.substitute_writes ? sorted(substitutes) : sorted(parse_values(c.substitutes)),
                  sorted(read_values(HKEY_CURRENT_USER, seed_substitutes_path)));
    }
}

TEST_F(PreloadList, RefusalsWriteNothing)
{
    seed_layout_key("b0030407", library_file_name, layout_name, "0c00");
    struct {
        const char *preload, *substitutes, *klid;
        bool planned;
        const char* plan_text;
    } refusals[] = {
        {"1=d0010407", "d0010407=b0030407", "b0030407", true, ""},
        {"1=00000407 2=00000409", "", "00000407", false,
         "Standard-Layout kann nicht entfernt werden"},
        {"1=00000407 2=00000409", "", "b0090407", false,
         "Schlüssel nicht vorhanden"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.klid);
        set_lists(r.preload, r.substitutes);
        std::string before = snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout");
        EXPECT_EQ(r.planned, scan_and_plan(plan::removal, r.klid));
        EXPECT_STREQ(r.plan_text, layout_error_text);
        // The flows write whatever the planning's result; an empty list is refused.
        EXPECT_FALSE(write_preload_lists());
        EXPECT_STREQ("INTERNER FEHLER: newpreloadcount ist 0!", layout_error_text);
        EXPECT_EQ(before, snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout"));
    }
    // Moving a layout that is not installed: refused, and nothing to write.
    delete_key_tree(HKEY_LOCAL_MACHINE, (std::string(seed_layouts_path) + "\\b0030407").c_str());
    set_lists("1=00000407", "");
    EXPECT_FALSE(scan_and_plan(plan::to_front));
    EXPECT_STREQ("Schlüssel nicht vorhanden", layout_error_text);
    EXPECT_TRUE(write_preload_lists());
    EXPECT_FALSE(preload_rewritten);
}

static std::string refused_text(const char* key)
{
    return std::string("Warnung:\nDer Registry-Key Keyboard Layout - ") + key
        + " kann nicht gelöscht und neu erstellt werden.\nDie Listen der Tastaturbelegungen des "
          "Benutzers (Preload und Substitutes) wurden nicht verändert.";
}

// A key or value that cannot be written: the warning names it. A key that
// cannot be deleted is found before anything is; a failure after that leaves
// the other key written all the same.
TEST_F(PreloadList, WriteFailuresAreNamed)
{
    const std::string keyboard_layout = "Keyboard Layout";
    struct {
        const char* what;
        const char *locked_key, *failing_write;   // key made read-only; key or value that fails
        std::string text;
        const char *preload, *substitutes;        // afterwards
    } cases[] = {
        // A key that refuses deletion leaves both lists as they are: the new
        // handles in one of them would load the layouts the other names.
        {"Preload not deletable", seed_preload_path, nullptr, refused_text("Preload"),
         "1=00000407", "d0070407=a0000407"},
        {"Substitutes not deletable", seed_substitutes_path, nullptr,
         refused_text("Substitutes"), "1=00000407", "d0070407=a0000407"},
        {"Preload not re-created", nullptr, "Preload",
         "Warnung:\nFehler beim Wiedererstellen des Registry-Keys Keyboard Layout - Preload",
         nullptr, "d0010407=b0030407"},
        {"value not written", nullptr, "2",
         "Warnung:\nFehler beim Schreiben des Wertes \"2\" in den Registry-Key Keyboard Layout - "
         "Preload",
         "1=d0010407", "d0010407=b0030407"},
        {"Keyboard Layout not readable", "Keyboard Layout", nullptr,
         "Warnung:\nFehler beim Öffnen des Registry-Keys HKEY_CURRENT_USER\\Keyboard Layout",
         "1=00000407", "d0070407=a0000407"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        set_lists("1=00000407", "d0070407=a0000407");
        ASSERT_TRUE(scan_and_plan(plan::addition)) << layout_error_text;
        if (c.locked_key) {
            const char* sddl = c.locked_key == keyboard_layout ? "D:(D;;KR;;;WD)(A;;KA;;;WD)"
                                                               : "D:(D;;SD;;;WD)(A;;KA;;;WD)";
            ASSERT_TRUE(set_key_access(HKEY_CURRENT_USER, c.locked_key, sddl));
        }
        fail_registry_writes_named(c.failing_write);
        EXPECT_FALSE(write_preload_lists());
        fail_registry_writes_named(nullptr);
        if (c.locked_key)
            set_key_access(HKEY_CURRENT_USER, c.locked_key, "D:(A;;KA;;;WD)");
        EXPECT_STREQ(c.text.c_str(), layout_error_text);
        EXPECT_EQ(c.preload != nullptr, key_exists(HKEY_CURRENT_USER, seed_preload_path));
        EXPECT_EQ(parse_values(c.preload), read_values(HKEY_CURRENT_USER, seed_preload_path));
        EXPECT_EQ(parse_values(c.substitutes),
                  read_values(HKEY_CURRENT_USER, seed_substitutes_path));
    }
}

// A repeated removal after the layout key went: the lists still lose every
// reference to the layout; lists that no longer name it stay as they are, and
// a list that held nothing else is not emptied.
TEST_F(PreloadList, LeftoverRemovalWithoutLayoutKey)
{
    struct {
        const char *preload, *substitutes, *preload_after, *substitutes_after;
        bool unchanged, written;
    } cases[] = {
        {"1=00000407 2=d0010407", "d0010407=b0030407", "1=00000407", "", false, true},
        {"1=00000407 2=d0010407", "d0010407=a0000407", "1=00000407 2=d0010407",
         "d0010407=a0000407", true, true},
        {"1=d0010407", "d0010407=b0030407", "1=d0010407", "d0010407=b0030407", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.preload) + " / " + c.substitutes);
        reset_layout_state();
        set_lists(c.preload, c.substitutes);
        strcpy(target_klid, "b0030407");
        ASSERT_TRUE(layout_scan()) << layout_error_text;
        ASSERT_EQ(-1, target_index);
        EXPECT_FALSE(plan_layout_removal());
        EXPECT_STREQ("Schlüssel nicht vorhanden", layout_error_text);
        EXPECT_TRUE(plan_leftover_removal()) << layout_error_text;
        EXPECT_EQ(c.unchanged, preload_unchanged);
        EXPECT_EQ(c.written, write_preload_lists()) << layout_error_text;
        EXPECT_EQ(parse_values(c.preload_after), read_values(HKEY_CURRENT_USER, seed_preload_path));
        EXPECT_EQ(parse_values(c.substitutes_after),
                  read_values(HKEY_CURRENT_USER, seed_substitutes_path));
    }
}

// Our library registered under two KLIDs (left by an interrupted
// installation): an update lists it once, at 1; a removal lists it nowhere.
TEST_F(PreloadList, TwoRegistrationsOfOurLibrary)
{
    for (plan action : {plan::to_front, plan::removal}) {
        SCOPED_TRACE(action == plan::removal ? "removal" : "update");
        reset_layout_state();
        seed_layout_key("b0030407", library_file_name, layout_name, "0c00");
        seed_layout_key("b0040407", "vezodorqfz27.dll", layout_name, "0c01");
        set_lists("1=00000407 2=d0010407 3=d0020407", "d0010407=b0030407 d0020407=b0040407");
        ASSERT_TRUE(scan_and_plan(action)) << layout_error_text;
        ASSERT_TRUE(write_preload_lists()) << layout_error_text;
        reg_values substitutes = read_values(HKEY_CURRENT_USER, seed_substitutes_path);
        std::string ours;
        for (const auto& p : read_values(HKEY_CURRENT_USER, seed_preload_path)) {
            std::string layout = p.second;
            for (const auto& s : substitutes) {
                if (_stricmp(s.first.c_str(), p.second.c_str()) == 0)
                    layout = s.second;
            }
            if (_stricmp(layout.c_str(), "b0030407") == 0 || _stricmp(layout.c_str(), "b0040407") == 0)
                ours += p.first + " ";
        }
        EXPECT_EQ(action == plan::removal ? "" : "1 ", ours);
    }
}

// A handle left in the lists by some other removal, naming a KLID without a
// layout key, is not given to the new layout.
TEST_F(PreloadList, NewKlidNamedByNoList)
{
    const char* lists[][3] = {{"1=00000407 2=d0010407", "d0010407=b0030407", "b0040407"},
                              {"1=00000407 2=B0030407", "d0010407=B0040407", "b0050407"},
                              {"1=00000407", "b0030407=a0000407 d0010407=b0040407", "b0050407"}};
    for (const auto& l : lists) {
        SCOPED_TRACE(l[1]);
        reset_layout_state();
        set_lists(l[0], l[1]);
        ASSERT_TRUE(scan_and_plan(plan::addition)) << layout_error_text;
        EXPECT_STREQ(l[2], new_klid);
    }
}
