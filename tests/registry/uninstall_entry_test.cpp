// write_uninstall_entry on Wine's Uninstall key: the installer's call replaces
// every earlier entry of the layout, the uninstaller's call removes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "installer/product.h"
#include "registry/uninstall_entry.h"
#include "tests/support/registry_seed.h"

static const char uninstall_path[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
static const char other_entry[] = "QuarzfeldTests Other Program";
static const char older_entry[] = "TASTATURBELEGUNG deutsch - Quarzfeld 2.06 (alt)";

static std::string below(const char* name)
{
    return std::string(uninstall_path) + "\\" + name;
}

class UninstallEntry : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        for (const char* name : {entry_name, other_entry, older_entry})
            delete_key_tree(HKEY_LOCAL_MACHINE, below(name).c_str());
    }
};

TEST_F(UninstallEntry, InstallerCallReplacesEarlierEntriesOfTheLayout)
{
    set_key_values(HKEY_LOCAL_MACHINE, below(entry_name).c_str(), {{"Stale", "value"}});
    set_key_values(HKEY_LOCAL_MACHINE, (below(older_entry) + "\\nested").c_str(), {});
    set_key_values(HKEY_LOCAL_MACHINE, below(other_entry).c_str(), {{"DisplayName", "Other"}});
    std::string other = snapshot_tree(HKEY_LOCAL_MACHINE, below(other_entry).c_str());
    // The form of the command line: the path in quotes keeps its blanks in one
    // argument, the KLID follows after one space.
    const char command[] = "\"C:\\Program Files\\Quarzfeld\\Uninstall_VezOdorQFZ27.exe\" b0030407";
    const char icon[] = "C:\\Program Files\\Quarzfeld\\Quarzfeld V2.06 Belegungsschaubild.ico";
    const char comments[] = "Tastaturbelegung Deutsch - Quarzfeld 2.06 und Quarzfeld V2.06 "
                            "Belegungsschaubild von Ihrem Rechner entfernen";

    start_recording_value_writes();
    EXPECT_TRUE(write_uninstall_entry(entry_name, command, entry_name, entry_name,
                                      product_web_address, product_web_address, publisher_text,
                                      product_web_address, product_version, icon, comments));
    reg_values writes = stop_recording_value_writes();
    reg_values expected = {
        {"DisplayName", "Tastaturbelegung Deutsch - Quarzfeld 2.06"},
        {"UninstallString", command},
        {"HelpLink", "https://quarzfeld.example/"},
        {"URLUpdateInfo", "https://quarzfeld.example/"},
        {"Publisher", "Quarzfeld-Tastaturbelegung"},
        {"URLInfoAbout", "https://quarzfeld.example/"},
        {"DisplayVersion", "2.06"},
        {"DisplayIcon", icon},
        {"Comments", comments},
    };
    EXPECT_EQ(expected, writes);
    // Wine enumerates values in name order, Windows in creation order.
    reg_values stored = read_values(HKEY_LOCAL_MACHINE, below(entry_name).c_str());
    std::sort(stored.begin(), stored.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, stored);
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, below(older_entry).c_str()));
    EXPECT_EQ(other, snapshot_tree(HKEY_LOCAL_MACHINE, below(other_entry).c_str()));
}

TEST_F(UninstallEntry, UninstallerCallRemovesTheEntryOnly)
{
    set_key_values(HKEY_LOCAL_MACHINE, below(other_entry).c_str(), {{"DisplayName", "Other"}});
    std::string without = snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_path);
    // On a machine without the entry nothing changes, and that is success.
    EXPECT_TRUE(write_uninstall_entry(entry_name, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(without, snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_path));

    set_key_values(HKEY_LOCAL_MACHINE, (below(entry_name) + "\\sub").c_str(), {{"a", "b"}});
    EXPECT_TRUE(write_uninstall_entry(entry_name, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(without, snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_path));
}

TEST_F(UninstallEntry, MissingTextsAreLeftOutAndNoNameOrPrefixMatchesAll)
{
    set_key_values(HKEY_LOCAL_MACHINE, below(other_entry).c_str(), {{"DisplayName", "Other"}});
    std::string other = snapshot_tree(HKEY_LOCAL_MACHINE, below(other_entry).c_str());
    // An empty prefix would begin every name: it must not delete other programs' entries.
    EXPECT_TRUE(write_uninstall_entry(entry_name, "x.exe", nullptr, "", nullptr, nullptr,
                                      nullptr, nullptr, "2.06", nullptr, nullptr));
    reg_values stored = read_values(HKEY_LOCAL_MACHINE, below(entry_name).c_str());
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ((reg_values{{"DisplayName", entry_name}, {"DisplayVersion", "2.06"},
                          {"UninstallString", "x.exe"}}),
              stored);
    EXPECT_EQ(other, snapshot_tree(HKEY_LOCAL_MACHINE, below(other_entry).c_str()));

    // Without a name the values would land in the Uninstall key itself.
    std::string before = snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_path);
    EXPECT_FALSE(write_uninstall_entry("", "x.exe", nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(before, snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_path));
}
