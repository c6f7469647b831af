// The installer on Windows' own language list (Windows 8 and later), with a
// seeded "User Profile" and our stand-in for input.dll in the system folder:
// the layout is enabled through InstallLayoutOrTip once its key exists, and
// the user's lists are left to Windows; when Windows refuses, or has no such
// function, the lists are written as before and the final message sends the
// user to the Settings. And the note on another account, through the
// stand-in for the shell's owner.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "frame/environment.h"
#include "frame/other_account.h"
#include "installer/installer_texts.h"
#include "registry/language_list.h"
#include "registry/layout_state.h"
#include "tests/installer/machine.h"
#include "tests/support/language_list_seed.h"
#include "tests/support/message_box_script.h"
#include "tests/support/registry_seed.h"
#include "tests/support/test_files.h"
#include "tests/support/text_fill.h"

namespace {

const char name[] = "Deutsch - Quarzfeld 2.06";
const char installed_text[] =
    "Tastaturbelegung Deutsch - Quarzfeld 2.06 erfolgreich installiert.\n"
    "Die Tastaturbelegung steht Ihnen nach einem Systemneustart zur Verfügung.\n\n"
    "=== BITTE SYSTEM JETZT NEU STARTEN! ===";
const char updated_text[] = "Tastaturbelegung Deutsch - Quarzfeld 2.06 erfolgreich aktualisliert.";
const char enable_call[] = "0407:b0030407\t0\t1";   // flags 0, the layout key there already

std::string question(const char* verb, const std::string& note = "")
{
    return std::string("Wollen Sie jetzt folgenden Tastatur-Treiber ") + verb + "?\n\n" + name +
           "\n\n" + note + text_terms;
}

class InstallerLanguageList : public ::testing::Test {
protected:
    void SetUp() override
    {
        remove_installer_traces();
        seed_german_windows();
        parse_command_line(L"\"C:\\Downloads\\Install_VezOdorQFZ27.exe\"");
        lstrcpyA(program_name, "Install_VezOdorQFZ27");
        is_wow64 = false;
        seed_user_profile({{"de-DE", {"0407:00000407"}}});
        new_process();
    }
    void TearDown() override
    {
        language_list_release();
        remove_input_stand_in();
        remove_user_profile();
        shell_owner_stand_in = nullptr;
        is_wow64 = false;
        remove_installer_traces();
        reset_message_boxes();
    }
    // Each run as a program of its own: nothing looked up or scanned yet.
    void new_process()
    {
        language_list_release();
        reset_layout_state();
        reset_message_boxes();
    }
    void run_and_expect(const std::vector<std::string>& texts)
    {
        plan_answers({IDYES});
        EXPECT_FALSE(app_run());
        ASSERT_EQ(texts.size(), shown_boxes.size());
        for (size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(texts[i], shown_boxes[i].text) << "box " << i;
    }
    static reg_values preload() { return read_values(HKEY_CURRENT_USER, seed_preload_path); }
    static reg_values substitutes()
    {
        return read_values(HKEY_CURRENT_USER, seed_substitutes_path);
    }
    // The lists as the installer writes them itself (Wine lists values by name).
    static void expect_lists_written()
    {
        reg_values written = preload();
        EXPECT_TRUE(written == (reg_values{{"1", "d0010407"}, {"2", "00000407"}}) ||
                    written == (reg_values{{"2", "00000407"}, {"1", "d0010407"}}));
        EXPECT_EQ((reg_values{{"d0010407", "b0030407"}}), substitutes());
    }
};

TEST_F(InstallerLanguageList, FirstInstallationAndUpdateEnableTheLayoutThroughWindows)
{
    ASSERT_TRUE(install_input_stand_in(true));
    run_and_expect({question("installieren"), installed_text});
    EXPECT_EQ(std::vector<std::string>{enable_call}, input_stand_in_calls());
    // Windows derives Preload and Substitutes from its list: untouched here.
    EXPECT_EQ((reg_values{{"1", "00000407"}}), preload());
    EXPECT_EQ(reg_values{}, substitutes());

    // The update enables the same KLID again, and has nothing to restart for.
    new_process();
    run_and_expect({question("aktualisieren"), updated_text});
    EXPECT_EQ((std::vector<std::string>{enable_call, enable_call}), input_stand_in_calls());
    EXPECT_EQ((reg_values{{"1", "00000407"}}), preload());
}

// In the i686 suites under WoW64 the installer works with redirection off;
// input.dll must still be the 32-bit one of syswow64. (Wine's loader finds it
// even with redirection off; Windows, as Microsoft documents, does not, which
// is why the code switches redirection on around it.)
TEST_F(InstallerLanguageList, On64BitWindowsTheProgramsOwnInputDllIsUsed)
{
    if (!use_64bit_windows(is_wow64))
        GTEST_SKIP() << "32-bit Windows";
    installer_places places = find_places();
    CreateDirectoryA(places.wow64_dir.c_str(), nullptr);
    ASSERT_TRUE(install_input_stand_in(true));
    run_and_expect({question("installieren"), installed_text});
    EXPECT_EQ(std::vector<std::string>{enable_call}, input_stand_in_calls());
    EXPECT_EQ((reg_values{{"1", "00000407"}}), preload());
}

TEST_F(InstallerLanguageList, WithoutWindowsTheListsAreWrittenAndTheUserSentToTheSettings)
{
    // Windows refuses the call; then a Windows with the list but no function.
    for (bool stand_in : {true, false}) {
        SCOPED_TRACE(stand_in ? "InstallLayoutOrTip returns FALSE" : "no input.dll");
        remove_installer_traces();
        seed_german_windows();
        seed_user_profile({{"de-DE", {"0407:00000407"}}});
        new_process();
        if (stand_in) {
            ASSERT_TRUE(install_input_stand_in(false));
        }
        run_and_expect({question("installieren"), std::string(installed_text) + text_add_in_settings});
        expect_lists_written();
        EXPECT_EQ(stand_in ? std::vector<std::string>{enable_call} : std::vector<std::string>{},
                  input_stand_in_calls());
        language_list_release();
        remove_input_stand_in();
    }
}

TEST_F(InstallerLanguageList, WithoutUserProfileEverythingIsAsBefore)
{
    remove_user_profile();
    ASSERT_TRUE(install_input_stand_in(true));
    run_and_expect({question("installieren"), installed_text});
    expect_lists_written();
    EXPECT_EQ(std::vector<std::string>{}, input_stand_in_calls());
}

TEST_F(InstallerLanguageList, AnotherAccountIsNamedInTheQuestionAndTheResult)
{
    remove_user_profile();
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
    EXPECT_EQ(question("installieren", fill_text(text_other_account_note, {own, shell, own})),
              shown_boxes[0].text);
    EXPECT_EQ(std::string(installed_text) + fill_text(text_other_account_result, {own, shell, own}) +
                  fill_text(text_other_account_remedy, {shell, shell}),
              shown_boxes[1].text);
    // Nothing else of the flow changes.
    expect_lists_written();
}

}  // namespace
