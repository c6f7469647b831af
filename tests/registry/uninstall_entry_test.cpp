// The uninstall entry on Wine's Uninstall key: the installer's calls replace
// every earlier entry of the layout, the uninstaller's call removes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "product/product.h"
#include "registry/uninstall_entry.h"
#include "tests/support/registry_seed.h"

static const char uninstall_path[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
static const char other_entry[] = "QuarzfeldTests Other Program";
static const char older_entry[] = "TASTATURBELEGUNG deutsch - Quarzfeld 2.06 (alt)";
// Names that begin like ours: entries of other programs, and an earlier one of ours.
static const char tool_entry[] = "Tastaturbelegung Deutsch - Quarzfeld 2.06 Zusatzwerkzeug";
static const char later_entry[] = "Tastaturbelegung Deutsch - Quarzfeld 2.061";
static const char moved_entry[] = "Tastaturbelegung Deutsch - Quarzfeld 2.06 (D:)";

static std::string below(const char* name)
{
    return std::string(uninstall_path) + "\\" + name;
}

class UninstallEntry : public ::testing::Test {
protected:
    std::string other;
    void SetUp() override
    {
        TearDown();
        set_key_values(HKEY_LOCAL_MACHINE, below(other_entry).c_str(), {{"DisplayName", "Other"}});
        other = snapshot_tree(HKEY_LOCAL_MACHINE, below(other_entry).c_str());
    }
    void TearDown() override
    {
        for (const char* name : {entry_name, other_entry, older_entry, tool_entry, later_entry,
                                 moved_entry})
            delete_key_tree(HKEY_LOCAL_MACHINE, below(name).c_str());
    }
    static bool remove_entry(const char* name) { return remove_uninstall_entry(name, nullptr); }
};

TEST_F(UninstallEntry, InstallerCallReplacesEarlierEntriesOfTheLayout)
{
    set_key_values(HKEY_LOCAL_MACHINE, below(entry_name).c_str(), {{"Stale", "value"}});
    set_key_values(HKEY_LOCAL_MACHINE, (below(older_entry) + "\\nested").c_str(), {});
    // Only entries whose command starts our uninstaller, or that have none, are ours.
    set_key_values(HKEY_LOCAL_MACHINE, below(tool_entry).c_str(),
                   {{"UninstallString", "\"C:\\Quarzfeld-Werkzeug\\Uninstall.exe\" /x"}});
    set_key_values(HKEY_LOCAL_MACHINE, below(later_entry).c_str(),
                   {{"UninstallString", "C:\\Q\\Uninstall_VezOdorQFZ27.exe.bak b0040407"}});
    set_key_values(HKEY_LOCAL_MACHINE, below(moved_entry).c_str(),
                   {{"UninstallString", "\"D:\\Q Z\\uninstall_vezodorqfz27.EXE\" b0010407"}});
    std::string foreign = snapshot_tree(HKEY_LOCAL_MACHINE, below(tool_entry).c_str()) +
                          snapshot_tree(HKEY_LOCAL_MACHINE, below(later_entry).c_str());
    // The quotes keep a path with blanks in one argument; the KLID follows.
    const char command[] = "\"C:\\Program Files\\Quarzfeld\\Uninstall_VezOdorQFZ27.exe\" b0030407";
    start_recording_value_writes();
    EXPECT_TRUE(remove_uninstall_entry(entry_name, entry_name));
    uninstall_entry_values values = {entry_name,          entry_name,      command,
                                      product_web_address, product_web_address, publisher_text,
                                      product_web_address, product_version, "icon",
                                      "note"};
    EXPECT_EQ(entry_written, write_uninstall_entry(&values));
    reg_values writes = stop_recording_value_writes();
    reg_values expected = {
        {"DisplayName", "Tastaturbelegung Deutsch - Quarzfeld 2.06"}, {"UninstallString", command},
        {"HelpLink", "https://quarzfeld.example/"}, {"URLUpdateInfo", "https://quarzfeld.example/"},
        {"Publisher", "Quarzfeld-Tastaturbelegung"}, {"URLInfoAbout", "https://quarzfeld.example/"},
        {"DisplayVersion", "2.06"}, {"DisplayIcon", "icon"}, {"Comments", "note"},
    };
    EXPECT_EQ(expected, writes);
    reg_values stored = read_values(HKEY_LOCAL_MACHINE, below(entry_name).c_str());
    std::sort(stored.begin(), stored.end());   // Wine enumerates in name order
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, stored);
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, below(older_entry).c_str()));
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, below(moved_entry).c_str()));
    EXPECT_EQ(foreign, snapshot_tree(HKEY_LOCAL_MACHINE, below(tool_entry).c_str()) +
                           snapshot_tree(HKEY_LOCAL_MACHINE, below(later_entry).c_str()));
    EXPECT_EQ(other, snapshot_tree(HKEY_LOCAL_MACHINE, below(other_entry).c_str()));
}

TEST_F(UninstallEntry, UninstallerCallRemovesTheEntryOnly)
{
    std::string without = snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_path);
    EXPECT_TRUE(remove_entry(entry_name));   // nothing to remove is success too
    EXPECT_EQ(without, snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_path));
    // Without display name the entry's name is shown; an empty prefix, which
    // every name begins with, deletes no other program's entry.
    EXPECT_TRUE(remove_uninstall_entry(entry_name, ""));
    uninstall_entry_values values = {};
    values.name = entry_name;
    values.uninstall_string = "x.exe";
    EXPECT_EQ(entry_written, write_uninstall_entry(&values));
    EXPECT_EQ((reg_values{{"DisplayName", entry_name}, {"UninstallString", "x.exe"}}),
              read_values(HKEY_LOCAL_MACHINE, below(entry_name).c_str()));
    EXPECT_TRUE(remove_entry(entry_name));
    EXPECT_EQ(without, snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_path));
    EXPECT_FALSE(remove_entry(""));   // would address the Uninstall key itself
}
