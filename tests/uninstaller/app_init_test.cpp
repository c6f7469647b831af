// The uninstaller's first hook in-process: the refusals of its argument, a
// temporary folder that cannot hold the copy, a copy that cannot be made, and
// the temporary copy's recognition and window title.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "frame/environment.h"
#include "frame/status_window.h"
#include "frame/text.h"
#include "registry/layout_state.h"
#include "tests/support/folder_faults.h"
#include "tests/support/message_box_script.h"
#include "tests/uninstaller/installation.h"
#include "uninstaller/temporary_copy.h"

namespace {

const char caption[] = "Uninstall_VezOdorQFZ27";
const unsigned warn = MB_OK | MB_ICONEXCLAMATION;
const std::string refusal =
    "Deinstallationsprogramm nicht mit gültigem Registry-Key die Tastatur aufgerufen ";

std::string own_path()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string own_folder() { return own_path().substr(0, own_path().find_last_of('\\') + 1); }
std::string own_file_name() { return own_path().substr(own_path().find_last_of('\\') + 1); }

class UninstallerInit : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_message_boxes();
        copy_text(program_name, sizeof program_name, caption);
        copy_text(window_title, sizeof window_title, caption);
        center_window = is_wow64 = false;
        reset_layout_state();
        for (const char* name : {"TMP", "TEMP"}) {
            char value[MAX_PATH] = "";
            GetEnvironmentVariableA(name, value, MAX_PATH);
            saved_environment.push_back(value);
        }
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("TMP", saved_environment[0].c_str());
        SetEnvironmentVariableA("TEMP", saved_environment[1].c_str());
    }

    void set_arguments(std::initializer_list<const char*> given)
    {
        for (auto& arg : args)
            arg[0] = '\0';
        arg_count = 0;
        for (const char* arg : given)
            copy_text(args[arg_count++], path_size, arg);
    }

    void set_temporary_folder(const std::string& folder)
    {
        SetEnvironmentVariableA("TMP", folder.c_str());
        SetEnvironmentVariableA("TEMP", folder.c_str());
    }

    // app_init refuses with one warning box, shown before any window exists.
    void expect_refused(const std::string& text)
    {
        reset_message_boxes();
        EXPECT_FALSE(app_init());
        ASSERT_EQ(1u, shown_boxes.size());
        EXPECT_EQ(caption, shown_boxes[0].caption);
        EXPECT_EQ(text, shown_boxes[0].text);
        EXPECT_EQ(warn, shown_boxes[0].flags);
        EXPECT_FALSE(shown_boxes[0].had_owner);
        EXPECT_EQ(nullptr, status_window);
        EXPECT_STREQ(caption, window_title);
    }

    std::vector<std::string> saved_environment;
};

TEST_F(UninstallerInit, RefusesAMissingExtraOrMalformedArgument)
{
    std::string missing = refusal + "(Angabe fehlt)";
    std::string length = refusal + "(Länge nicht 8 Zeichen):\n";
    std::string not_german = refusal + "(endet nicht in \"0407\", also kein deutsches Layout):\n";
    set_arguments({});
    expect_refused(missing);
    arg_count = -1;   // the frame's value for an empty command line
    expect_refused(missing);
    set_arguments({"b0030407", "b0030407"});
    expect_refused(missing);
    EXPECT_TRUE(center_window);

    set_arguments({"b00304070"});
    expect_refused(length + "b00304070");
    set_arguments({""});
    expect_refused(length);
    // The argument is shown as it is, percent signs included.
    set_arguments({"%s%d%n%s0407"});
    expect_refused(length + "%s%d%n%s0407");
    set_arguments({"b0030807"});
    expect_refused(not_german + "b0030807");
    set_arguments({"b003O407"});
    expect_refused(not_german + "b003O407");
    set_arguments({"00000407"});
    expect_refused(refusal + "(Schlüssel für Standardtastatur: nicht deinstallierbar):\n00000407");
}

TEST_F(UninstallerInit, ProgramInTheTemporaryFolderIsTheCopy)
{
    // The comparison with the temporary folder ignores letter case, and only
    // the shape of the KLID is checked here, not its digits.
    std::string folder = own_folder();
    CharUpperA(&folder[0]);
    set_temporary_folder(folder);
    set_arguments({"zz%s0407"});
    // Started with the product folder as its current folder, the copy leaves
    // it, so that the folder can be removed.
    char started_in[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, started_in);
    std::string product_folder = folder + "Quarzfeld-Arbeitsordner";
    ASSERT_TRUE(CreateDirectoryA(product_folder.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA(product_folder.c_str()));

    EXPECT_TRUE(app_init());
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, current);
    SetCurrentDirectoryA(started_in);
    EXPECT_TRUE(RemoveDirectoryA(product_folder.c_str())) << GetLastError();
    // Windows reports a current folder without its trailing backslash.
    EXPECT_EQ(0, lstrcmpiA((std::string(current) + "\\").c_str(), own_folder().c_str()))
        << "current folder " << current;
    EXPECT_TRUE(shown_boxes.empty());
    EXPECT_TRUE(center_window);
    EXPECT_STREQ("zz%s0407", target_klid);
    EXPECT_STREQ("Uninstall_VezOdorQFZ27 V2.06 - Tastaturtreiber-Deinstallation", window_title);

    // A copy that refuses its argument goes at the next start all the same.
    std::string renames_before = pending_renames();
    copy_text(window_title, sizeof window_title, caption);
    set_arguments({"zz%s0807"});
    expect_refused(refusal + "(endet nicht in \"0407\", also kein deutsches Layout):\nzz%s0807");
    EXPECT_TRUE(deletion_pending(pending_renames(), own_path()));
    set_pending_renames(renames_before);
}

TEST_F(UninstallerInit, OnlyTheTemporaryFolderItselfMakesTheCopy)
{
    // Temporary folders that begin the original's path but are not its folder.
    const char original[] = "C:\\Program Files\\Quarzfeld\\Uninstall_VezOdorQFZ27.exe";
    struct {
        const char *temporary_folder, *own_path;
        bool copy;
    } cases[] = {
        {"C:\\", original, false},
        {"c:\\program files\\", original, false},
        {"C:\\Program Files\\Quarz\\", original, false},
        {"c:\\PROGRAM FILES\\quarzfeld\\", original, true},
        {"C:\\", "C:\\Uninstall_VezOdorQFZ27.exe", true},
    };
    for (const auto& c : cases) {
        copy_paths paths{};
        copy_text(paths.temporary_folder, MAX_PATH, c.temporary_folder);
        copy_text(paths.own_path, MAX_PATH, c.own_path);
        EXPECT_EQ(c.copy, runs_from_temporary_folder(&paths)) << c.temporary_folder;
    }
}

TEST_F(UninstallerInit, RefusesATemporaryFolderThatCannotHoldTheCopy)
{
    const std::string no_folder =
        "Deinstallationsprogramm findet kein verwendbares temporäres Verzeichnis (nicht "
        "vorhanden oder Pfad zu lang), um sein Original löschen zu können.\nDie "
        "Deinstallation wird nicht durchgeführt; es wurde nichts verändert.";
    set_arguments({"b0030407"});

    // Longer than any path: GetTempPathA reports no usable folder.
    set_temporary_folder("C:\\" + std::string(300, 'x'));
    expect_refused(no_folder);

    // A folder that fits, but not with the program's file name appended.
    std::string folder = make_private_folder("init");
    std::string deep = folder + std::string(MAX_PATH - 1 - folder.size() - own_file_name().size(), 'y');
    ASSERT_EQ(size_t(MAX_PATH), deep.size() + 1 + own_file_name().size());
    set_temporary_folder(deep);
    expect_refused(no_folder);
    remove_tree(folder.substr(0, folder.size() - 1));
}

// Windows cannot report the system folder: nothing may be removed from a
// folder value that names the root of the drive, and no copy is made.
TEST_F(UninstallerInit, FolderThatCannotBeFoundRefusesBeforeTheCopy)
{
    std::string folder = make_private_folder("init");
    set_temporary_folder(folder);
    set_arguments({"b0030407"});
    for (folder_fault fault : {folder_unknown, folder_too_long}) {
        reset_message_boxes();
        set_folder_fault("GetSystemDirectoryA", fault);
        EXPECT_FALSE(app_init());
        clear_folder_faults();
        ASSERT_EQ(1u, shown_boxes.size());
        const std::string& text = shown_boxes[0].text;
        std::string end = "\nDie Deinstallation wird nicht durchgeführt; es wurde nichts verändert.";
        EXPECT_EQ(0u, text.find("Der Systemordner konnte nicht ermittelt werden:\n")) << text;
        EXPECT_TRUE(text.size() > end.size()
                    && text.compare(text.size() - end.size(), end.size(), end) == 0)
            << text;
        EXPECT_EQ(warn, shown_boxes[0].flags);
        EXPECT_FALSE(path_exists(folder + own_file_name()));
    }
    remove_tree(folder.substr(0, folder.size() - 1));
}

TEST_F(UninstallerInit, CopyThatCannotBeMadeIsReported)
{
    // A folder in the copy's place: the copy fails, and nothing is started.
    std::string folder = make_private_folder("init");
    set_temporary_folder(folder);
    std::string copy = folder + own_file_name();
    ASSERT_TRUE(CreateDirectoryA(copy.c_str(), nullptr));
    set_arguments({"b0030407"});

    EXPECT_FALSE(app_init());
    ASSERT_EQ(2u, shown_boxes.size());
    EXPECT_EQ("Tastaturtreiber-Deinstallation", shown_boxes[0].caption);
    EXPECT_EQ(0u, shown_boxes[0].text.find("Kopieren einer Datei fehlgeschlagen.\n\nQuelle: " +
                                           own_path() + "\nZiel: " + copy + "\n\n"))
        << shown_boxes[0].text;
    EXPECT_EQ(caption, shown_boxes[1].caption);
    EXPECT_EQ("Deinstallationsprogramm kann nicht in ein temporäres Verzeichnis kopiert "
              "werden, um sein Original löschen zu können",
              shown_boxes[1].text);
    EXPECT_EQ(warn, shown_boxes[1].flags);
    remove_tree(folder.substr(0, folder.size() - 1));
}

}  // namespace
