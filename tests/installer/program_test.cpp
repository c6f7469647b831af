// The installer program end to end under Wine: run on a seeded German
// Windows, then the uninstall command line it registered, run as written,
// leaves the machine as it was. Both programs are the test builds whose
// message boxes take their answers from QF_BOX_ANSWERS and log themselves to
// QF_BOX_LOG; everything else is the shipping code.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/installer/machine.h"
#include "tests/support/box_log.h"
#include "tests/support/env_message_box.h"
#include "tests/support/registry_seed.h"

namespace {

// The texts of the boxes in the log, in order.
std::vector<std::string> logged_texts(const std::string& log_path)
{
    std::vector<std::string> texts;
    for (const logged_box& box : read_box_log(log_path))
        texts.push_back(box.text);
    return texts;
}

class InstallerProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        remove_installer_traces();
        renames_before = pending_renames();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        root = std::string(temp) + "qf_installer_e2e_" + std::to_string(GetCurrentProcessId());
        temporary_folder = root + "\\Temp\\";
        CreateDirectoryA(root.c_str(), nullptr);
        CreateDirectoryA(temporary_folder.c_str(), nullptr);
        log_path = root + "\\boxes.log";
        SetEnvironmentVariableA("TMP", temporary_folder.c_str());
        SetEnvironmentVariableA("TEMP", temporary_folder.c_str());
        SetEnvironmentVariableA(QF_BOX_LOG_VARIABLE, log_path.c_str());
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("TMP", nullptr);
        SetEnvironmentVariableA("TEMP", nullptr);
        SetEnvironmentVariableA(QF_BOX_LOG_VARIABLE, nullptr);
        SetEnvironmentVariableA(QF_BOX_ANSWERS_VARIABLE, nullptr);
        remove_installer_traces();
        set_pending_renames(renames_before);
        for (const std::string& file : {temporary_folder + "Uninstall_VezOdorQFZ27.exe", log_path})
            DeleteFileA(file.c_str());
        RemoveDirectoryA(temporary_folder.c_str());
        RemoveDirectoryA(root.c_str());
    }

    void run(std::string command_line, const char* answers)
    {
        SetEnvironmentVariableA(QF_BOX_ANSWERS_VARIABLE, answers);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        SetLastError(0xdeadbeef);
        ASSERT_TRUE(CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0,
                                   nullptr, root.c_str(), &startup, &process))
            << command_line << ": error " << GetLastError();
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
        DWORD exit_code = 0xdeadbeef;
        GetExitCodeProcess(process.hProcess, &exit_code);
        EXPECT_EQ(0u, exit_code) << command_line;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    std::string renames_before, root, temporary_folder, log_path;
};

// Wine differs from Windows here: every process start under Wine writes the
// user's "Keyboard Layout\Preload" value 1 (the layout of Wine's locale), so
// the uninstaller finds the installer's list already overwritten and cannot
// take the layout out of it. Under Wine the user's lists are checked as the
// installer left them and left out of the final comparison.
TEST_F(InstallerProgram, InstallThenUninstallLeavesTheMachineAsItWas)
{
    seed_german_windows();
    const bool wine = running_on_wine();
    std::string before = machine_snapshot(wine);
    std::string installer = std::string(QF_TEST_SCRIPTED_DIR) + "/Install_VezOdorQFZ27.exe";

    run("\"" + installer + "\"", "6");

    std::vector<std::string> texts = logged_texts(log_path);
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ(0u, texts[0].find("Wollen Sie jetzt folgenden Tastatur-Treiber installieren?"));
    EXPECT_EQ(0u, texts[1].find("Tastaturbelegung Deutsch - Quarzfeld 2.06 erfolgreich "
                                "installiert."));
    reg_values entry = read_values(HKEY_LOCAL_MACHINE, uninstall_entry_path);
    std::string command;
    for (const auto& value : entry)
        if (value.first == "UninstallString")
            command = value.second;
    EXPECT_EQ("\"" + find_places().product_dir + "\\Uninstall_VezOdorQFZ27.exe\" b0030407",
              command);
    reg_values preload = read_values(HKEY_CURRENT_USER, seed_preload_path);
    EXPECT_NE(preload.end(), std::find(preload.begin(), preload.end(),
                                       std::make_pair(std::string("1"), std::string("d0010407"))));
    EXPECT_EQ((reg_values{{"d0010407", "b0030407"}}),
              read_values(HKEY_CURRENT_USER, seed_substitutes_path));

    run(command, "6");
    wait_for_processes_named("Uninstall_VezOdorQFZ27.exe");

    texts = logged_texts(log_path);
    ASSERT_EQ(4u, texts.size());
    EXPECT_EQ("Folgender Tastatur-Treiber wurde deinstalliert:\nDeutsch - Quarzfeld 2.06",
              texts[3]);
    EXPECT_EQ(before, machine_snapshot(wine));
    // What stays is the uninstaller's copy, marked for deletion at the next start.
    std::string copy = temporary_folder + "Uninstall_VezOdorQFZ27.exe";
    EXPECT_TRUE(path_exists(copy));
    EXPECT_NE(std::string::npos, pending_renames().find(copy)) << "no deletion pending for " << copy;
}

}  // namespace
