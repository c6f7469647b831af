// The uninstaller program end to end under Wine: started with the uninstall
// command line from the product folder, it hands over to its copy in the
// temporary folder, which removes the installation. The program is the test
// build whose message boxes take their answers from QF_BOX_ANSWERS and log
// themselves to QF_BOX_LOG; everything else is the shipping code.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/support/box_log.h"
#include "tests/support/env_message_box.h"
#include "tests/uninstaller/installation.h"

namespace {

std::string own_folder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1);
}

std::string environment_value(const char* name)
{
    char value[32768];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? value : "";
}

class UninstallerProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        renames_before = pending_renames();
        root = make_private_folder("e2e");
        temporary_folder = root + "Temp\\";
        CreateDirectoryA(temporary_folder.c_str(), nullptr);
        log_path = root + "boxes.log";

        // The places the program finds for itself: in a 64-bit process, or,
        // in the i686 suites under WoW64, as a 32-bit program on 64-bit
        // Windows (the native system folder, reached from here through
        // sysnative, and the companion library in the 32-bit one).
        char folder[MAX_PATH];
        GetSystemDirectoryA(folder, MAX_PATH);
        char program_files[MAX_PATH];
        SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, program_files);
        setup = typical_installation("b0030407", root);
        // Wine writes the locale's layout as Preload value 1 (00000407 in the
        // German locale the tests run in) at every process start; with that
        // value seeded, its write changes nothing that the tests compare.
        // Windows leaves the list alone.
        setup.preload = {{"1", "00000407"}, {"2", "d0010407"}};
        setup.system_dir = native_path(std::string(folder) + "\\");
        if (test_process_is_wow64()) {
            GetSystemWow64DirectoryA(folder, MAX_PATH);
            setup.wow64_dir = std::string(folder) + "\\";
        }
        setup.product_dir = std::string(program_files) + "\\Quarzfeld";

        program = own_folder() + "scripted\\Uninstall_VezOdorQFZ27.exe";
        for (const char* name : {"TMP", "TEMP", QF_BOX_ANSWERS_VARIABLE, QF_BOX_LOG_VARIABLE})
            saved_environment.push_back(environment_value(name));
        SetEnvironmentVariableA("TMP", temporary_folder.c_str());
        SetEnvironmentVariableA("TEMP", temporary_folder.c_str());
        SetEnvironmentVariableA(QF_BOX_LOG_VARIABLE, log_path.c_str());
    }

    void TearDown() override
    {
        int i = 0;
        for (const char* name : {"TMP", "TEMP", QF_BOX_ANSWERS_VARIABLE, QF_BOX_LOG_VARIABLE}) {
            const std::string& value = saved_environment[i++];
            SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
        }
        remove_installation(setup);
        set_pending_renames(renames_before);
        remove_tree(root.substr(0, root.size() - 1));
    }

    // Starts the program as the uninstall entry does and waits for it and for
    // the copy it started; returns the first process's id.
    DWORD run(const std::string& command_line, const char* answers)
    {
        SetEnvironmentVariableA(QF_BOX_ANSWERS_VARIABLE, answers);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::string line = command_line;
        SetLastError(0xdeadbeef);
        BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                      root.c_str(), &startup, &process);
        EXPECT_TRUE(started) << "CreateProcessA failed, error " << GetLastError();
        if (!started)
            return 0;
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
        DWORD exit_code = 0xdeadbeef;
        GetExitCodeProcess(process.hProcess, &exit_code);
        EXPECT_EQ(0u, exit_code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        wait_for_processes_named("Uninstall_VezOdorQFZ27.exe");
        return process.dwProcessId;
    }

    std::string renames_before;
    std::vector<std::string> saved_environment;
    std::string root, temporary_folder, log_path, program;
    installation setup;
};

TEST_F(UninstallerProgram, HandsOverToItsCopyWhichRemovesEverything)
{
    seed_installation(setup);
    std::string installed = setup.product_dir + "\\Uninstall_VezOdorQFZ27.exe";
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(CopyFileA(program.c_str(), installed.c_str(), FALSE))
        << program << ": error " << GetLastError();

    DWORD first = run("\"" + installed + "\" " + setup.klid, "6");

    // The first process showed nothing; the copy showed its window, asked once
    // and reported the removal.
    std::vector<logged_box> boxes = read_box_log(log_path);
    ASSERT_EQ(2u, boxes.size());
    EXPECT_NE(first, boxes[0].process);
    EXPECT_EQ(boxes[0].process, boxes[1].process);
    EXPECT_EQ("Uninstall_VezOdorQFZ27", boxes[0].caption);
    EXPECT_EQ("Soll folgender Tastatur-Treiber deinstalliert werden?\n\n"
              "Deutsch - Quarzfeld 2.06", boxes[0].text);
    EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION), boxes[0].flags);
    EXPECT_TRUE(boxes[0].had_owner);
    EXPECT_EQ("Folgender Tastatur-Treiber wurde deinstalliert:\nDeutsch - Quarzfeld 2.06",
              boxes[1].text);

    std::string copy = temporary_folder + "Uninstall_VezOdorQFZ27.exe";
    EXPECT_EQ(read_file(program), read_file(copy));
    EXPECT_FALSE(path_exists(setup.product_dir));
    EXPECT_FALSE(path_exists(setup.system_dir + "VezOdorQFZ27.DLL"));
    EXPECT_FALSE(path_exists(desktop_shortcut_path()));
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, layout_key_path(setup).c_str()));
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, uninstall_entry_path));
    EXPECT_EQ((reg_values{{"1", "00000407"}}),
              read_values(HKEY_CURRENT_USER, seed_preload_path));
    // Wine, like Windows, keeps the deletion for the next start in the
    // Session Manager's PendingFileRenameOperations.
    EXPECT_TRUE(deletion_pending(pending_renames(), copy));
}

TEST_F(UninstallerProgram, WithoutArgumentEndsAfterItsRefusal)
{
    seed_installation(setup);
    std::string installed = setup.product_dir + "\\Uninstall_VezOdorQFZ27.exe";
    ASSERT_TRUE(CopyFileA(program.c_str(), installed.c_str(), FALSE));
    std::string before = snapshot(setup);

    DWORD first = run("\"" + installed + "\"", "");

    std::vector<logged_box> boxes = read_box_log(log_path);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(first, boxes[0].process);
    EXPECT_EQ("Deinstallationsprogramm nicht mit gültigem Registry-Key die Tastatur "
              "aufgerufen (Angabe fehlt)", boxes[0].text);
    EXPECT_FALSE(boxes[0].had_owner);
    EXPECT_FALSE(path_exists(temporary_folder + "Uninstall_VezOdorQFZ27.exe"));
    EXPECT_EQ(before, snapshot(setup));
}

}  // namespace
