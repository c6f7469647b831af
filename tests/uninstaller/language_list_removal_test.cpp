// The uninstaller's removal on Windows' own language list (Windows 8 and
// later), with a seeded "User Profile" and our stand-in for input.dll: the
// layout is disabled while its key still exists and the usual removal
// follows; a refusal by Windows only warns; the only-keyboard refusal counts
// Windows' list. And the note on another account, through the stand-in for
// the shell's owner.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/other_account.h"
#include "frame/text.h"
#include "registry/language_list.h"
#include "registry/layout_state.h"
#include "tests/support/language_list_seed.h"
#include "tests/support/message_box_script.h"
#include "tests/support/text_fill.h"
#include "tests/uninstaller/installation.h"
#include "uninstaller/texts.h"

namespace {

const char caption[] = "Uninstall_VezOdorQFZ27";
const char confirm_text[] =
    "Soll folgender Tastatur-Treiber deinstalliert werden?\n\nDeutsch - Quarzfeld 2.06";
const char done_text[] = "Folgender Tastatur-Treiber wurde deinstalliert:\nDeutsch - Quarzfeld 2.06";
const char disable_call[] = "0407:b0030407\t1\t1";   // ILOT_UNINSTALL, the layout key still there

class UninstallerLanguageList : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCursor(GetCursor());   // Wine's own Preload write, before anything is seeded
        renames_before = pending_renames();
        root = make_private_folder("language-list");
        copy_text(program_name, sizeof program_name, caption);
        setup = typical_installation("b0030407", root);
        language_list_release();
        reset_layout_state();
        reset_message_boxes();
        copy_text(target_klid, sizeof target_klid, "b0030407");
        is_wow64 = false;
        seed_installation(setup);
        copy_text(system_dir, sizeof system_dir, setup.system_dir.c_str());
        copy_text(wow64_dir, sizeof wow64_dir, setup.wow64_dir.c_str());
        copy_text(product_dir, sizeof product_dir, setup.product_dir.c_str());
    }
    void TearDown() override
    {
        language_list_release();
        remove_input_stand_in();
        remove_user_profile();
        shell_owner_stand_in = nullptr;
        remove_installation(setup);
        set_pending_renames(renames_before);
        remove_tree(root.substr(0, root.size() - 1));
    }
    void run_and_expect(const std::vector<std::string>& texts)
    {
        plan_answers({IDYES});
        EXPECT_FALSE(app_run());
        std::string shown;
        for (const auto& box : shown_boxes)
            shown += "\n[" + box.caption + "] " + box.text;
        ASSERT_EQ(texts.size(), shown_boxes.size()) << "shown:" << shown;
        for (size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(texts[i], shown_boxes[i].text) << "box " << i;
    }
    void expect_removed()
    {
        EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, layout_key_path(setup).c_str()));
        EXPECT_EQ((reg_values{{"1", "00000407"}}), read_values(HKEY_CURRENT_USER, seed_preload_path));
        EXPECT_EQ(reg_values{}, read_values(HKEY_CURRENT_USER, seed_substitutes_path));
        EXPECT_FALSE(path_exists(setup.product_dir));
    }

    std::string renames_before;
    std::string root;
    installation setup;
};

TEST_F(UninstallerLanguageList, DisablesWhileTheKeyExistsThenRemovesAsBefore)
{
    seed_user_profile({{"de-DE", {"0407:00000407", "0407:B0030407"}}});
    ASSERT_TRUE(install_input_stand_in(true));
    run_and_expect({confirm_text, done_text});
    EXPECT_EQ(std::vector<std::string>{disable_call}, input_stand_in_calls());
    // What the installation wrote into Preload and Substitutes goes too.
    expect_removed();
}

TEST_F(UninstallerLanguageList, WindowsRefusingOnlyWarns)
{
    seed_user_profile({{"de-DE", {"0407:00000407", "0407:b0030407"}}});
    ASSERT_TRUE(install_input_stand_in(false));
    run_and_expect({confirm_text, fill_text(text_not_disabled, {"Deutsch - Quarzfeld 2.06"}),
                    done_text});
    EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, shown_boxes[1].flags);
    EXPECT_EQ(std::vector<std::string>{disable_call}, input_stand_in_calls());
    expect_removed();
}

TEST_F(UninstallerLanguageList, OnlyKeyboardInWindowsListIsRefused)
{
    // Preload still holds two layouts; Windows' list, which counts, only ours
    // (in two languages).
    seed_user_profile({{"de-DE", {"0407:b0030407"}}, {"de-CH", {"0807:B0030407"}}});
    ASSERT_TRUE(install_input_stand_in(true));
    std::string before = snapshot(setup);
    run_and_expect({text_single_preload_entry});
    EXPECT_EQ(before, snapshot(setup));
    EXPECT_EQ(std::vector<std::string>{}, input_stand_in_calls());

    // Without input.dll the Preload list counts, as on Windows 7: it goes.
    language_list_release();
    remove_input_stand_in();
    reset_message_boxes();
    run_and_expect({confirm_text, done_text});
    expect_removed();
}

TEST_F(UninstallerLanguageList, AnotherAccountIsNamedInTheQuestionAndTheResult)
{
    PSID system = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidA("S-1-5-18", &system));
    shell_owner_stand_in = system;
    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    LocalFree(system);
    std::string own = own_account_name, shell = shell_account_name;
    ASSERT_NE("", own);
    ASSERT_NE(own, shell);
    ASSERT_EQ(2u, shown_boxes.size());
    EXPECT_EQ(confirm_text + fill_text(text_other_account_note, {own, shell, own}),
              shown_boxes[0].text);
    EXPECT_EQ(done_text + fill_text(text_other_account_result, {own, shell, shell}),
              shown_boxes[1].text);
    expect_removed();
}

}  // namespace
