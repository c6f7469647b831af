// The uninstaller's removal (app_run) in-process: refusals that leave the
// machine as it was, and the full removal on 32-bit and 64-bit Windows, with
// a seeded installation in private folders and scripted message boxes.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>

#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/text.h"
#include "registry/layout_state.h"
#include "tests/support/message_box_script.h"
#include "tests/uninstaller/installation.h"

namespace {

const unsigned warn_flags = MB_OK | MB_ICONEXCLAMATION;
const unsigned info_flags = MB_OK | MB_ICONINFORMATION;
const unsigned ask_flags = MB_YESNO | MB_ICONQUESTION;
const char caption[] = "Uninstall_VezOdorQFZ27";
const char confirm_text[] =
    "Soll folgender Tastatur-Treiber deinstalliert werden?\n\nDeutsch - Quarzfeld 2.06";
const char done_text[] = "Folgender Tastatur-Treiber wurde deinstalliert:\nDeutsch - Quarzfeld 2.06";

std::string own_program_path()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// Puts a deny entry for reading in front of the key's access list.
bool deny_reading(const std::string& path)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;KR;;;WD)(A;;KA;;;WD)",
                                                              SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return false;
    HKEY key;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    return status == ERROR_SUCCESS;
}

void allow_reading(const std::string& path)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KA;;;WD)", SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
}

class UninstallerRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_message_boxes();
        renames_before = pending_renames();
        root = make_private_folder("run");
        // The KLID that the installer allocates first on a German Windows.
        const char klid[] = "b0030407";
        setup = typical_installation(klid, root);

        copy_text(program_name, sizeof program_name, caption);
        copy_text(target_klid, sizeof target_klid, klid);
        is_wow64 = false;
        // layout_scan runs once per process in the programs; the tests run it
        // once per test, so the scan's results start from the process defaults.
        layout_file_name[0] = '\0';
        target_index = found_index = -1;
        found_in_preload = preload_unchanged = substitutes_kept = preload_rewritten = false;
        max_layout_id = max_klid_counter = 0;
    }

    void TearDown() override
    {
        remove_installation(setup);
        set_pending_renames(renames_before);
        remove_tree(root.substr(0, root.size() - 1));
        is_wow64 = false;
    }

    // Seeds the installation and points the program's folders at it.
    void install()
    {
        seed_installation(setup);
        copy_text(system_dir, sizeof system_dir, setup.system_dir.c_str());
        copy_text(wow64_dir, sizeof wow64_dir, setup.wow64_dir.c_str());
        copy_text(product_dir, sizeof product_dir, setup.product_dir.c_str());
    }

    // app_run refuses with exactly these boxes and changes nothing.
    void expect_refusal(std::initializer_list<shown_box> boxes)
    {
        std::string before = snapshot(setup);
        EXPECT_FALSE(app_run());
        expect_boxes(boxes);
        EXPECT_EQ(before, snapshot(setup));
        EXPECT_EQ(renames_before, pending_renames());
    }

    void expect_boxes(std::initializer_list<shown_box> boxes)
    {
        ASSERT_EQ(boxes.size(), shown_boxes.size()) << texts_of_boxes();
        size_t i = 0;
        for (const auto& expected : boxes) {
            EXPECT_EQ(expected.caption, shown_boxes[i].caption) << "box " << i;
            EXPECT_EQ(expected.text, shown_boxes[i].text) << "box " << i;
            EXPECT_EQ(expected.flags, shown_boxes[i].flags) << "box " << i;
            ++i;
        }
    }

    std::string texts_of_boxes()
    {
        std::string all = "boxes shown:";
        for (const auto& box : shown_boxes)
            all += "\n[" + box.caption + "] " + box.text;
        return all;
    }

    // Everything of the installation is gone, and the running program (here:
    // the test program) is marked for deletion at the next start.
    void expect_removed()
    {
        EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, layout_key_path(setup).c_str()));
        EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, (std::string(seed_layouts_path) + "\\00000407").c_str()));
        EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, uninstall_entry_key));
        EXPECT_FALSE(file_exists(setup.system_dir + "VezOdorQFZ27.DLL"));
        EXPECT_FALSE(file_exists(setup.product_dir));
        EXPECT_FALSE(file_exists(desktop_shortcut_path()));
        EXPECT_EQ((reg_values{{"1", "00000407"}}),
                  read_values(HKEY_CURRENT_USER, seed_preload_path));
        EXPECT_TRUE(key_exists(HKEY_CURRENT_USER, seed_substitutes_path));
        EXPECT_EQ(reg_values{}, read_values(HKEY_CURRENT_USER, seed_substitutes_path));
        EXPECT_TRUE(deletion_pending(pending_renames(), own_program_path()));
    }

    std::vector<std::string> renames_before;
    std::string root;
    installation setup;
};

TEST_F(UninstallerRun, RefusesWhenTheScanFails)
{
    install();
    // A user profile without Substitutes key: the scan cannot read the lists.
    delete_key_tree(HKEY_CURRENT_USER, seed_substitutes_path);
    expect_refusal({{caption,
                     "Fehler beim Öffnen des Registry-Keys HKEY_CURRENT_USER\\Keyboard "
                     "Layout\\Substitutes",
                     warn_flags, false}});
}

TEST_F(UninstallerRun, ScanFailureTextIsShownLiterally)
{
    install();
    // A German layout key named with percent signs that the scan cannot open:
    // the scan's text names it, and the box must show it as it is.
    std::string odd = std::string(seed_layouts_path) + "\\%s%s0407";
    set_key_values(HKEY_LOCAL_MACHINE, odd.c_str(), {});
    ASSERT_TRUE(deny_reading(odd));
    std::string before = snapshot(setup);
    EXPECT_FALSE(app_run());
    expect_boxes({{caption,
                   "Fehler beim Öffnen des Registry-Subkeys System\\CurrentControlSet\\Control\\"
                   "Keyboard Layouts - %s%s0407",
                   warn_flags, false}});
    EXPECT_EQ(before, snapshot(setup));
    allow_reading(odd);
}

TEST_F(UninstallerRun, RefusesAKlidThatIsNotRegistered)
{
    install();
    std::string other = "bfff0407";
    copy_text(target_klid, sizeof target_klid, other.c_str());
    expect_refusal({{caption,
                     "Der Registry-Key des zu deinstallierenden Tastaturtreibers wurde nicht "
                     "gefunden.\nTreiber: Deutsch - Quarzfeld 2.06Key: bfff0407\n"
                     "DLL: VezOdorQFZ27.DLL",
                     warn_flags, false}});
}

TEST_F(UninstallerRun, RefusesALayoutKeyWithoutLayoutFile)
{
    setup.layout_file = "";
    install();
    expect_refusal({{caption,
                     "Der Registry-Key des zu deinstallierenden Tastaturtreibers enthält keine "
                     "Treiberdatei-Angabe.\nTreiber: Deutsch - Quarzfeld 2.06Key: " +
                         setup.klid + "\nDLL: VezOdorQFZ27.DLL",
                     warn_flags, false}});
}

TEST_F(UninstallerRun, RefusesALayoutKeyThatNamesAnotherLibrary)
{
    setup.layout_file = "KBDGR.DLL";
    install();
    expect_refusal({{caption,
                     "Der Registry-Key des zu deinstallierenden Tastaturtreibers enthält eine "
                     "andere Treiberdatei-Angabe als zum Zeitpunkt der Installation.\n"
                     "Aus Sicherheitsgründen wird daher die Deinstallation jetzt nicht "
                     "durchgeführt.\nTreiber: Deutsch - Quarzfeld 2.06Key: " +
                         setup.klid +
                         "\nDLL bei Installation: VezOdorQFZ27.DLL\nDLL jetzt: KBDGR.DLL",
                     warn_flags, false}});
}

TEST_F(UninstallerRun, RefusesWhileThePreloadListHoldsOneEntry)
{
    // Only the count decides: here the one entry is the standard layout.
    setup.preload = {{"1", "00000407"}};
    install();
    expect_refusal({{caption,
                     "In den Windows-Spracheinstellungen ist die zu deinstallierende "
                     "Tastaturbelegung derzeit als einzig auswählbare Belegung hinterlegt.\n"
                     "Bitte Wählen Sie dort erst eine andere Tastaturbelegung, bevor Sie die "
                     "hier gewählte deinstallieren.",
                     warn_flags, false}});
}

TEST_F(UninstallerRun, AnswerNoChangesNothing)
{
    // The library's name in other letter case still names our library.
    setup.layout_file = "vezodorqfz27.dll";
    install();
    plan_answers({IDNO});
    expect_refusal({{caption, confirm_text, ask_flags, false},
                    {caption, "Deinstallation abgebrochen.", info_flags, false}});
}

TEST_F(UninstallerRun, RemovesEverythingOn32BitWindows)
{
    install();
    // On 32-bit Windows a file in the place of the companion library is not ours.
    std::string companion_folder = root + "syswow64\\";
    CreateDirectoryA(companion_folder.c_str(), nullptr);
    write_file(companion_folder + "VezOdorQFZ27.DLL", "not looked at");
    copy_text(wow64_dir, sizeof wow64_dir, companion_folder.c_str());

    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask_flags, false},
                  {caption, done_text, info_flags, false}});
    expect_removed();
    EXPECT_TRUE(file_exists(companion_folder + "VezOdorQFZ27.DLL"));
}

TEST_F(UninstallerRun, RemovesBothLibrariesOn64BitWindows)
{
    setup.wow64_dir = root + "syswow64\\";
    install();
    is_wow64 = true;

    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask_flags, false},
                  {caption, done_text, info_flags, false}});
    expect_removed();
    EXPECT_FALSE(file_exists(setup.wow64_dir + "VezOdorQFZ27.DLL"));
}

TEST_F(UninstallerRun, MissingLibraryAsksWhetherToGoOn)
{
    install();
    std::string library = setup.system_dir + "VezOdorQFZ27.DLL";
    DeleteFileA(library.c_str());
    std::string missing_text = "Problem bei Deinstallation von Deutsch - Quarzfeld 2.06:\n"
                               "Treiberdatei nicht (mehr) vorhanden:\n  " +
                               library + "\n\nTrotzdem fortfahren?";

    // No: stops without a further message, nothing changed.
    plan_answers({IDYES, IDNO});
    expect_refusal({{caption, confirm_text, ask_flags, false},
                    {caption, missing_text, ask_flags, false}});

    // Yes: the rest is removed all the same.
    reset_message_boxes();
    target_index = found_index = -1;
    plan_answers({IDYES, IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask_flags, false},
                  {caption, missing_text, ask_flags, false},
                  {caption, done_text, info_flags, false}});
    expect_removed();
}

TEST_F(UninstallerRun, LibraryThatCannotBeDeletedStopsBeforeTheRegistry)
{
    install();
    // A folder in the library's place is found but cannot be deleted as a file.
    std::string library = setup.system_dir + "VezOdorQFZ27.DLL";
    DeleteFileA(library.c_str());
    ASSERT_TRUE(CreateDirectoryA(library.c_str(), nullptr));

    std::string before = snapshot(setup);
    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    ASSERT_EQ(3u, shown_boxes.size()) << texts_of_boxes();
    EXPECT_EQ(confirm_text, shown_boxes[0].text);
    EXPECT_EQ("Tastaturtreiber-Deinstallation", shown_boxes[1].caption);
    EXPECT_EQ(0u, shown_boxes[1].text.find("Folgende Datei kann nicht gelöscht werden:\n" +
                                           library + "\n\n"))
        << shown_boxes[1].text;
    EXPECT_EQ("Fehler bei Deinstallation von Deutsch - Quarzfeld 2.06:\nFolgende "
              "Treiberdatei konnte nicht gelöscht werden:\n  " + library,
              shown_boxes[2].text);
    EXPECT_EQ(info_flags, shown_boxes[2].flags);
    EXPECT_EQ(before, snapshot(setup));
    RemoveDirectoryA(library.c_str());
}

TEST_F(UninstallerRun, ForeignFileKeepsTheProductFolder)
{
    install();
    std::string foreign = setup.product_dir + "\\Notizen.txt";
    write_file(foreign, "the user's own file");

    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    ASSERT_EQ(4u, shown_boxes.size()) << texts_of_boxes();
    EXPECT_EQ(confirm_text, shown_boxes[0].text);
    // The folder's own failure box comes first, then the flow's warning.
    EXPECT_EQ("Tastaturtreiber-Deinstallation", shown_boxes[1].caption);
    EXPECT_EQ(0u, shown_boxes[1].text.find("Folgendes Verzeichnis kann nicht gelöscht werden:\n" +
                                           setup.product_dir + "\n\n"))
        << shown_boxes[1].text;
    EXPECT_EQ(caption, shown_boxes[2].caption);
    EXPECT_EQ("Warnung bei Deinstallation von Deutsch - Quarzfeld 2.06:\nFolgendes "
              "Hilfsverzeichnis konnte nicht entfernt werden (möglicherweise ist es nicht "
              "leer):\n  " + setup.product_dir,
              shown_boxes[2].text);
    EXPECT_EQ(info_flags, shown_boxes[2].flags);
    EXPECT_EQ(done_text, shown_boxes[3].text);

    EXPECT_TRUE(file_exists(foreign));
    EXPECT_FALSE(file_exists(setup.product_dir + "\\Uninstall_VezOdorQFZ27.exe"));
    EXPECT_FALSE(file_exists(setup.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.pdf"));
    EXPECT_FALSE(file_exists(setup.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.ico"));
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, uninstall_entry_key));
}

TEST_F(UninstallerRun, PreloadWriteFailureOnlyWarns)
{
    // A value named 500 falls out of the renumbered list, so nothing would be
    // left to write: the list is kept, the warning shown, and the rest removed.
    setup.preload = {{"1", "d0010407"}, {"500", "a0000407"}};
    install();

    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask_flags, false},
                  {caption,
                   "Warnung bei Deinstallation von Deutsch - Quarzfeld 2.06:\nProblem bei "
                   "Registry-Key-Update:\n  INTERNER FEHLER: newpreloadcount ist 0!",
                   info_flags, false},
                  {caption, done_text, info_flags, false}});
    EXPECT_EQ(setup.preload, read_values(HKEY_CURRENT_USER, seed_preload_path));
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, layout_key_path(setup).c_str()));
    EXPECT_FALSE(file_exists(setup.product_dir));
}

}  // namespace
