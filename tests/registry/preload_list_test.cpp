// Planning and writing the user's Preload and Substitutes lists: each worked
// case is checked in the planned list, in the order of the writes, and in what
// the registry holds afterwards.
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "registry/layout_keys.h"
#include "registry/preload_list.h"
#include "tests/support/registry_seed.h"

enum class plan { addition, to_front, removal };

struct preload_case {
    const char* what;
    plan action;
    reg_values preload, substitutes;
    reg_values preload_writes;      // also the planned list, in this order
    reg_values substitute_writes;   // empty, with the next flag, for "not touched"
    bool substitutes_untouched;
};

static reg_values sorted(reg_values values)
{
    std::sort(values.begin(), values.end());
    return values;
}

static reg_values planned_preload()
{
    reg_values values;
    for (int i = 0; i < newpreloadcount; ++i)
        values.emplace_back(new_preload[i].name, new_preload[i].data);
    return values;
}

static reg_values planned_substitutes()
{
    reg_values values;
    for (int i = 0; i < new_substitute_count; ++i)
        values.emplace_back(new_substitutes[i].name, new_substitutes[i].data);
    return values;
}

class PreloadList : public ::testing::Test {
protected:
    void SetUp() override
    {
        seed_german_windows();
        strcpy(layout_file_name, "VezOdorQFZ27.dll");
        target_klid[0] = 0;
    }
    void TearDown() override { remove_german_windows(); }

    // The steps of the flows: the installer scans with an empty target and
    // takes the found KLID afterwards, the uninstaller scans for its argument.
    static bool plan_like_the_flows(plan action, const char* klid)
    {
        if (action == plan::removal) {
            strcpy(target_klid, klid);
            layout_file_name[0] = 0;
        }
        EXPECT_TRUE(layout_scan()) << layout_error_text;
        switch (action) {
        case plan::addition:
            return plan_layout_addition(found_index);
        case plan::to_front:
            if (found_index != -1)
                strcpy(target_klid, layout_entries[found_index].klid);
            return plan_layout_to_front();
        case plan::removal:
            return plan_layout_removal();
        }
        return false;
    }
};

static const preload_case cases[] = {
    {"fresh registration, Preload 1 = 00000407 alone", plan::addition,
     {{"1", "00000407"}}, {},
     {{"2", "00000407"}, {"1", "d0010407"}},
     {{"d0010407", "b0030407"}}, false},
    {"fresh registration beside a substituted layout", plan::addition,
     {{"1", "00000407"}, {"2", "d0010407"}}, {{"d0010407", "a0000407"}},
     {{"2", "00000407"}, {"1", "d0010407"}, {"3", "d0020407"}},
     {{"d0010407", "b0030407"}, {"d0020407", "a0000407"}}, false},
    {"numbers from 100 on and unreferenced Substitutes drop out", plan::addition,
     {{"1", "00000407"}, {"98", "00000409"}, {"99", "0000040C"}, {"100", "00000410"}},
     {{"d0050407", "a0000407"}},
     {{"2", "00000407"}, {"99", "00000409"}, {"1", "d0010407"}},
     {{"d0010407", "b0030407"}}, false},
    // Substitutes are written with standard names first, unlike the plan's order.
    {"standard KLIDs on either side of Substitutes", plan::addition,
     {{"1", "d0010407"}, {"2", "00000407"}}, {{"d0010407", "00000807"}, {"00000407", "a0000407"}},
     {{"2", "d0010407"}, {"3", "00000407"}, {"1", "d0020407"}},
     {{"00000407", "a0000407"}, {"d0010407", "00000807"}, {"d0020407", "b0030407"}}, false},
    {"moving to the front", plan::to_front,
     {{"1", "00000407"}, {"2", "d0010407"}, {"3", "d0020407"}},
     {{"d0010407", "a0000407"}, {"d0020407", "b0030407"}},
     {{"2", "00000407"}, {"1", "d0020407"}, {"3", "d0010407"}}, {}, true},
    {"moving to the front keeps a name without number last", plan::to_front,
     {{"1", "00000407"}, {"2", "d0010407"}, {"x", "00000409"}}, {{"d0010407", "b0030407"}},
     {{"2", "00000407"}, {"1", "d0010407"}, {"x", "00000409"}}, {}, true},
    {"moving to the front what is first already", plan::to_front,
     {{"1", "d0010407"}, {"2", "00000407"}}, {{"d0010407", "b0030407"}}, {}, {}, true},
    {"moving to the front what is listed by its KLID", plan::to_front,
     {{"1", "00000407"}, {"2", "b0030407"}}, {}, {}, {}, true},
    {"removal: the neighbour inherits the standard slot", plan::removal,
     {{"1", "00000407"}, {"2", "d0010407"}}, {{"00000407", "b0030407"}, {"d0010407", "a0000407"}},
     {{"1", "00000407"}}, {{"00000407", "a0000407"}}, false},
    {"removal: the entry before inherits the standard slot", plan::removal,
     {{"1", "d0010407"}, {"2", "00000407"}}, {{"d0010407", "a0000407"}, {"00000407", "b0030407"}},
     {{"1", "00000407"}}, {{"00000407", "a0000407"}}, false},
    {"removal beside a plain entry: fresh handles", plan::removal,
     {{"1", "00000407"}, {"2", "d0010407"}, {"3", "d0020407"}},
     {{"d0010407", "b0030407"}, {"d0020407", "a0000407"}},
     {{"1", "00000407"}, {"2", "d0010407"}}, {{"d0010407", "a0000407"}}, false},
    {"removal of the first: standard entries move up, odd names go last", plan::removal,
     {{"1", "d0010407"}, {"2", "00000409"}, {"x", "d0020407"}, {"170", "d0030407"}},
     {{"d0010407", "b0030407"}, {"d0020407", "a0000407"}, {"d0030407", "a0010407"}},
     {{"1", "00000409"}, {"2", "d0010407"}, {"3", "d0020407"}},
     {{"d0010407", "a0010407"}, {"d0020407", "a0000407"}}, false},
    {"removal of what is listed by its KLID", plan::removal,
     {{"1", "00000407"}, {"2", "b0030407"}}, {}, {}, {}, true},
};

TEST_F(PreloadList, PlannedListsAndWhatIsWritten)
{
    for (const preload_case& c : cases) {
        SCOPED_TRACE(c.what);
        seed_german_windows();
        if (c.action != plan::addition)
            seed_layout_key("b0030407", "VezOdorQFZ27.DLL", "Deutsch - Quarzfeld 2.06", "0c00");
        set_user_lists(c.preload, c.substitutes);
        std::string substitutes_before = snapshot_tree(HKEY_CURRENT_USER, seed_substitutes_path);
        std::string preload_before = snapshot_tree(HKEY_CURRENT_USER, seed_preload_path);

        ASSERT_TRUE(plan_like_the_flows(c.action, "b0030407")) << layout_error_text;
        bool nothing_to_write = c.preload_writes.empty();
        EXPECT_EQ(nothing_to_write, preload_unchanged);
        if (!nothing_to_write) {
            EXPECT_EQ(c.preload_writes, planned_preload());
            EXPECT_EQ(sorted(c.substitute_writes), sorted(planned_substitutes()));
        }

        start_recording_value_writes();
        EXPECT_TRUE(write_preload_lists()) << layout_error_text;
        reg_values writes = stop_recording_value_writes();
        reg_values expected_writes = c.preload_writes;
        expected_writes.insert(expected_writes.end(), c.substitute_writes.begin(),
                               c.substitute_writes.end());
        EXPECT_EQ(expected_writes, writes);
        EXPECT_EQ(!nothing_to_write, preload_rewritten);

        if (nothing_to_write)
            EXPECT_EQ(preload_before, snapshot_tree(HKEY_CURRENT_USER, seed_preload_path));
        else
            EXPECT_EQ(sorted(c.preload_writes),
                      sorted(read_values(HKEY_CURRENT_USER, seed_preload_path)));
        if (c.substitutes_untouched)
            EXPECT_EQ(substitutes_before, snapshot_tree(HKEY_CURRENT_USER, seed_substitutes_path));
        else
            EXPECT_EQ(sorted(c.substitute_writes),
                      sorted(read_values(HKEY_CURRENT_USER, seed_substitutes_path)));
    }
}

TEST_F(PreloadList, RefusalsLeaveTheUserListsAlone)
{
    seed_layout_key("b0030407", "VezOdorQFZ27.DLL", "Deutsch - Quarzfeld 2.06", "0c00");
    struct {
        const char* what;
        plan action;
        const char* klid;
        reg_values preload, substitutes;
        bool plan_result;
        const char* plan_text;
        bool write_result;
        const char* write_text;
    } refusals[] = {
        {"removal of the only entry", plan::removal, "b0030407", {{"1", "d0010407"}},
         {{"d0010407", "b0030407"}}, true, "", false, "INTERNER FEHLER: newpreloadcount ist 0!"},
        {"removal of a standard layout", plan::removal, "00000407", {{"1", "00000407"}}, {},
         false, "Standard-Layout kann nicht entfernt werden", false,
         "INTERNER FEHLER: newpreloadcount ist 0!"},
        {"removal of an unknown KLID", plan::removal, "b0090407", {{"1", "00000407"}}, {},
         false, "Schlüssel nicht vorhanden", false, "INTERNER FEHLER: newpreloadcount ist 0!"},
        {"moving a layout that is not installed", plan::to_front, "", {{"1", "00000407"}}, {},
         false, "Schlüssel nicht vorhanden", true, "Schlüssel nicht vorhanden"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.what);
        set_user_lists(r.preload, r.substitutes);
        if (r.action == plan::to_front)
            strcpy(layout_file_name, "NotInstalled.dll");
        std::string before = snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout");
        EXPECT_EQ(r.plan_result, plan_like_the_flows(r.action, r.klid));
        EXPECT_STREQ(r.plan_text, layout_error_text);
        EXPECT_EQ(r.write_result, write_preload_lists());
        EXPECT_STREQ(r.write_text, layout_error_text);
        EXPECT_EQ(before, snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout"));
        EXPECT_FALSE(preload_rewritten);
    }
}

// A key that vanished between scan and write cannot be deleted; the other key
// is still written and the warning names the one that failed.
TEST_F(PreloadList, WriteGoesOnAfterAFailedKey)
{
    set_user_lists({{"1", "00000407"}}, {{"d0070407", "a0000407"}});
    ASSERT_TRUE(plan_like_the_flows(plan::addition, ""));
    delete_key_tree(HKEY_CURRENT_USER, seed_preload_path);
    EXPECT_FALSE(write_preload_lists());
    EXPECT_STREQ("Warnung:\nFehler beim Löschen des Registry-Keys Keyboard Layout - Preload",
                 layout_error_text);
    EXPECT_FALSE(preload_rewritten);
    EXPECT_FALSE(key_exists(HKEY_CURRENT_USER, seed_preload_path));
    EXPECT_EQ((reg_values{{"d0010407", "b0030407"}}),
              read_values(HKEY_CURRENT_USER, seed_substitutes_path));
}
