// Windows' language list: the keyboards counted from a seeded "User Profile"
// (generated, seeded, against a model), and InstallLayoutOrTip reached through
// our stand-in for input.dll in the system folder, loaded from there only.
// What Windows itself does with the call is not shown here: Wine has neither
// input.dll nor "User Profile".
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "registry/language_list.h"
#include "registry/layout_keys.h"
#include "tests/support/language_list_seed.h"
#include "tests/support/registry_seed.h"

namespace {

const char ours[] = "b0030407";

class LanguageList : public ::testing::Test {
protected:
    void SetUp() override { language_list_release(); }
    void TearDown() override
    {
        language_list_release();
        remove_input_stand_in();
        remove_user_profile();
        delete_key_tree(HKEY_LOCAL_MACHINE, seed_layouts_path);
    }
};

TEST_F(LanguageList, CountsKeyboardValuesOfEveryLanguage)
{
    std::mt19937 random(19);
    const std::vector<std::string> others = {
        "0407:00000407", "0409:00000409", "0807:00000807", "0407:a0000407",
        "0804:{81D4E9C9-1D3B-41BC-9E6C-4B40BF79E35E}{FA550B04-5AD7-411F-A5AC-CA038EC515D7}"};
    // Names that are no keyboard: no colon, no id, no four hexadecimal digits.
    const std::vector<std::string> not_keyboards = {"0407", "0407:", "04g7:b0030407",
                                                    "407:b0030407", "TransientLangId"};
    const std::vector<std::string> ours_written = {"0407:b0030407", "0407:B0030407",
                                                   "0807:b0030407"};
    for (int round = 0; round < 60; ++round) {
        language_keyboards languages;
        int total = 0, mine = 0;
        int language_count = random() % 4;
        for (int l = 0; l < language_count; ++l) {
            std::vector<std::string> keyboards;
            int count = random() % 4;
            for (int k = 0; k < count; ++k) {
                std::string name;
                switch (random() % 3) {
                case 0:
                    name = others[random() % others.size()];
                    break;
                case 1:
                    name = ours_written[random() % ours_written.size()];
                    break;
                default:
                    name = not_keyboards[random() % not_keyboards.size()];
                }
                // Value names are one name whatever their case.
                if (std::find_if(keyboards.begin(), keyboards.end(), [&](const std::string& k) {
                        return _stricmp(k.c_str(), name.c_str()) == 0;
                    }) != keyboards.end())
                    continue;
                keyboards.push_back(name);
            }
            for (const auto& name : keyboards) {
                bool is_not = std::find(not_keyboards.begin(), not_keyboards.end(), name) !=
                              not_keyboards.end();
                if (is_not)
                    continue;
                ++total;
                if (std::find(ours_written.begin(), ours_written.end(), name) != ours_written.end())
                    ++mine;
            }
            languages.emplace_back("lang-" + std::to_string(l), keyboards);
        }
        seed_user_profile(languages);
        int counted_total = -1, counted_ours = -1;
        ASSERT_TRUE(count_enabled_keyboards(ours, &counted_total, &counted_ours));
        EXPECT_EQ(total, counted_total) << "round " << round;
        EXPECT_EQ(mine, counted_ours) << "round " << round;
    }
    remove_user_profile();
    EXPECT_FALSE(user_profile_present());
    int counted_total = -1, counted_ours = -1;
    EXPECT_FALSE(count_enabled_keyboards(ours, &counted_total, &counted_ours));
    EXPECT_EQ(0, counted_total);
}

TEST_F(LanguageList, WithoutInputDllNothingIsCalled)
{
    seed_user_profile({{"de-DE", {"0407:00000407"}}});
    EXPECT_TRUE(user_profile_present());
    EXPECT_FALSE(language_list_function_found());
    EXPECT_FALSE(language_list_in_use());
    EXPECT_FALSE(language_list_enable(ours));
    EXPECT_FALSE(language_list_disable(ours));
}

TEST_F(LanguageList, CallsInstallLayoutOrTipWithTheLayoutString)
{
    ASSERT_TRUE(install_input_stand_in(true));
    EXPECT_FALSE(language_list_in_use());   // no "User Profile": the lists as before
    seed_user_profile({{"de-DE", {"0407:00000407"}}});
    EXPECT_TRUE(language_list_in_use());

    seed_layout_key(ours, "VezOdorQFZ27.DLL", "Deutsch - Quarzfeld 2.06", "0c00");
    EXPECT_TRUE(language_list_enable(ours));
    EXPECT_TRUE(language_list_disable("B0030407"));
    set_input_stand_in_result(false);
    delete_key_tree(HKEY_LOCAL_MACHINE, seed_layouts_path);
    EXPECT_FALSE(language_list_disable(ours));
    // Anything but eight hexadecimal digits never reaches Windows.
    for (const char* bad : {"b003040", "b00304071", "b003040g", "b003;407", "", "\xe4" "0030407"})
        EXPECT_FALSE(language_list_enable(bad)) << bad;
    std::vector<std::string> expected = {"0407:b0030407\t0\t1", "0407:B0030407\t1\t1",
                                         "0407:b0030407\t1\t0"};
    EXPECT_EQ(expected, input_stand_in_calls());
}

}  // namespace
