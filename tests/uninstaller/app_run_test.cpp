// The uninstaller's removal (app_run) in-process: refusals that leave the
// machine as it was, and the removal on 32-bit and 64-bit Windows, on a
// seeded installation in private folders with scripted message boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/text.h"
#include "registry/layout_state.h"
#include "tests/support/message_box_script.h"
#include "tests/uninstaller/installation.h"

namespace {

const unsigned warn = MB_OK | MB_ICONEXCLAMATION, info = MB_OK | MB_ICONINFORMATION,
               ask = MB_YESNO | MB_ICONQUESTION;
const char caption[] = "Uninstall_VezOdorQFZ27";
const char confirm_text[] =
    "Soll folgender Tastatur-Treiber deinstalliert werden?\n\nDeutsch - Quarzfeld 2.06";
const char done_text[] = "Folgender Tastatur-Treiber wurde deinstalliert:\nDeutsch - Quarzfeld 2.06";
const char file_caption[] = "Tastaturtreiber-Deinstallation";
const char entry_kept_text[] =
    "\n\nNicht alles konnte entfernt werden; der Eintrag in \"Programme und Features\" bleibt "
    "deshalb erhalten, damit Sie die Deinstallation später wiederholen können.";

std::string own_path()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

class UninstallerRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Wine writes the locale's layout into Preload "1" the first time the
        // process uses the window system (the removal's status line does).
        // Windows does not; done here, before any list is seeded, it cannot
        // change the lists that the removal reads again after its question.
        SetCursor(GetCursor());
        renames_before = pending_renames();
        root = make_private_folder("run");
        copy_text(program_name, sizeof program_name, caption);
        start("b0030407");
    }

    void TearDown() override
    {
        remove_installation(setup);
        set_pending_renames(renames_before);
        remove_tree(root.substr(0, root.size() - 1));
        is_wow64 = false;
        native_machine = IMAGE_FILE_MACHINE_UNKNOWN;
    }

    // A fresh installation plan and the state app_init leaves for app_run.
    // layout_scan runs once per program; here once per run, so its results
    // start from the process defaults each time.
    void start(const char* klid)
    {
        remove_installation(setup);
        reset_message_boxes();
        setup = typical_installation("b0030407", root);
        reset_layout_state();
        copy_text(target_klid, sizeof target_klid, klid);
        is_wow64 = false;
        native_machine = IMAGE_FILE_MACHINE_UNKNOWN;
    }

    void install()
    {
        seed_installation(setup);
        copy_text(system_dir, sizeof system_dir, setup.system_dir.c_str());
        copy_text(wow64_dir, sizeof wow64_dir, setup.wow64_dir.c_str());
        copy_text(product_dir, sizeof product_dir, setup.product_dir.c_str());
    }

    void expect_boxes(const std::vector<shown_box>& boxes)
    {
        std::string shown;
        for (const auto& box : shown_boxes)
            shown += "\n[" + box.caption + "] " + box.text;
        ASSERT_EQ(boxes.size(), shown_boxes.size()) << "shown:" << shown;
        for (size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_EQ(boxes[i].caption, shown_boxes[i].caption) << "box " << i;
            // Boxes of the file services end in the system's own description.
            if (boxes[i].caption == file_caption)
                EXPECT_EQ(0u, shown_boxes[i].text.find(boxes[i].text)) << shown_boxes[i].text;
            else
                EXPECT_EQ(boxes[i].text, shown_boxes[i].text) << "box " << i;
            EXPECT_EQ(boxes[i].flags, shown_boxes[i].flags) << "box " << i;
        }
    }

    // Everything is gone; the user keeps the standard layout; the running
    // program (here the test program) goes at the next system start.
    // A Substitutes value that no Preload value uses stays (substitutes).
    void expect_removed(const reg_values& substitutes = {})
    {
        EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, layout_key_path(setup).c_str()));
        EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE,
                               (std::string(seed_layouts_path) + "\\00000407").c_str()));
        EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, uninstall_entry_path));
        EXPECT_FALSE(path_exists(setup.system_dir + "VezOdorQFZ27.DLL"));
        EXPECT_FALSE(path_exists(setup.product_dir));
        EXPECT_FALSE(path_exists(desktop_shortcut_path()));
        EXPECT_EQ((reg_values{{"1", "00000407"}}), read_values(HKEY_CURRENT_USER, seed_preload_path));
        EXPECT_TRUE(key_exists(HKEY_CURRENT_USER, seed_substitutes_path));
        EXPECT_EQ(substitutes, read_values(HKEY_CURRENT_USER, seed_substitutes_path));
        EXPECT_TRUE(deletion_pending(pending_renames(), own_path()));
    }

    std::string renames_before;
    std::string root;
    installation setup;
};

TEST_F(UninstallerRun, RefusalsChangeNothing)
{
    const std::string key_prefix = "Der Registry-Key des zu deinstallierenden Tastaturtreibers ";
    const std::string names = "Treiber: Deutsch - Quarzfeld 2.06Key: b0030407\n";
    const std::string odd_key = std::string(seed_layouts_path) + "\\%s%s0407";
    struct refusal {
        const char* what;
        const char* klid;
        std::function<void(installation&)> before_install;
        std::function<void()> after_install;
        std::vector<int> answers;
        std::vector<shown_box> boxes;
    } refusals[] = {
        // Re-creating the list would lose a value that cannot be read.
        {"unreadable Preload value", "b0030407", nullptr,
         [] {
             HKEY key;
             ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, seed_preload_path, 0,
                                                    KEY_SET_VALUE, &key));
             std::string data(300, 'a');
             RegSetValueExA(key, "3", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>(data.size() + 1));
             RegCloseKey(key);
         },
         {},
         {{caption, "In HKEY_CURRENT_USER\\Keyboard Layout\\Preload stehen Werte, die nicht "
                    "gelesen werden können (Name oder Daten zu lang, Anzahl: 1); beim "
                    "Neuschreiben der Liste gingen sie verloren.\nDie Listen der "
                    "Tastaturbelegungen des Benutzers (Preload und Substitutes) wurden nicht "
                    "verändert.",
           warn, false}}},
        // The scan's text names a key that it cannot open; percent signs in
        // that name must reach the box as they are.
        {"unreadable layout key named with percent signs", "b0030407", nullptr,
         [&] {
             set_key_values(HKEY_LOCAL_MACHINE, odd_key.c_str(), {});
             EXPECT_TRUE(set_key_access(HKEY_LOCAL_MACHINE, odd_key, "D:(D;;KR;;;WD)(A;;KA;;;WD)"));
         },
         {},
         {{caption, "Fehler beim Öffnen des Registry-Subkeys System\\CurrentControlSet\\"
                    "Control\\Keyboard Layouts - %s%s0407", warn, false}}},
        {"KLID without layout key", "bfff0407", nullptr, nullptr, {},
         {{caption, key_prefix + "wurde nicht gefunden.\nTreiber: Deutsch - Quarzfeld "
                    "2.06Key: bfff0407\nDLL: VezOdorQFZ27.DLL", warn, false}}},
        // Without its layout key, only an entry that starts our uninstaller
        // with the KLID vouches for it.
        {"layout key gone, entry of another program", "b0030407", nullptr,
         [] {
             delete_key_tree(HKEY_LOCAL_MACHINE,
                             (std::string(seed_layouts_path) + "\\b0030407").c_str());
             set_key_values(HKEY_LOCAL_MACHINE, uninstall_entry_path,
                            {{"DisplayName", "Andere"},
                             {"UninstallString", "\"C:\\Andere\\Uninstall.exe\" b0030407"}});
         },
         {},
         {{caption, key_prefix + "wurde nicht gefunden.\n" + names + "DLL: VezOdorQFZ27.DLL",
           warn, false}}},
        {"layout key without layout file", "b0030407",
         [](installation& s) { s.layout_file = ""; }, nullptr, {},
         {{caption, key_prefix + "enthält keine Treiberdatei-Angabe.\n" + names +
                    "DLL: VezOdorQFZ27.DLL", warn, false}}},
        {"layout key naming another library", "b0030407",
         [](installation& s) { s.layout_file = "KBDGR.DLL"; }, nullptr, {},
         {{caption, key_prefix + "enthält eine andere Treiberdatei-Angabe als zum Zeitpunkt "
                    "der Installation.\nAus Sicherheitsgründen wird daher die Deinstallation "
                    "jetzt nicht durchgeführt.\n" + names + "DLL bei Installation: "
                    "VezOdorQFZ27.DLL\nDLL jetzt: KBDGR.DLL", warn, false}}},
        // The one entry left is our layout.
        {"preload list with our layout only", "b0030407",
         [](installation& s) { s.preload = {{"1", "d0010407"}}; }, nullptr, {},
         {{caption, "In den Windows-Spracheinstellungen ist die zu deinstallierende "
                    "Tastaturbelegung derzeit als einzig auswählbare Belegung hinterlegt.\n"
                    "Bitte Wählen Sie dort erst eine andere Tastaturbelegung, bevor Sie die "
                    "hier gewählte deinstallieren.", warn, false}}},
        // The library's name in other letter case still names our library.
        {"answer No", "b0030407", [](installation& s) { s.layout_file = "vezodorqfz27.dll"; },
         nullptr, {IDNO},
         {{caption, confirm_text, ask, false},
          {caption, "Deinstallation abgebrochen.", info, false}}},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.what);
        start(r.klid);
        if (r.before_install)
            r.before_install(setup);
        install();
        if (r.after_install)
            r.after_install();
        for (int answer : r.answers)
            plan_answers({answer});
        std::string before = snapshot(setup);
        EXPECT_FALSE(app_run());
        expect_boxes(r.boxes);
        EXPECT_EQ(before, snapshot(setup));
        // The temporary copy goes at the next start on every way out.
        EXPECT_TRUE(deletion_pending(pending_renames(), own_path()));
        set_pending_renames(renames_before);
        set_key_access(HKEY_LOCAL_MACHINE, odd_key, "D:(A;;KA;;;WD)");   // so that the key can go
    }
}

TEST_F(UninstallerRun, RemovesEverythingOn32BitAnd64BitWindows)
{
    // 32-bit Windows: a file where the 64-bit companion would be is not ours.
    std::string companion_folder = root + "syswow64\\";
    install();
    CreateDirectoryA(companion_folder.c_str(), nullptr);
    write_file(companion_folder + "VezOdorQFZ27.DLL", "not looked at");
    copy_text(wow64_dir, sizeof wow64_dir, companion_folder.c_str());
    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask, false}, {caption, done_text, info, false}});
    expect_removed();
    EXPECT_TRUE(path_exists(companion_folder + "VezOdorQFZ27.DLL"));

    // 64-bit Windows: the 32-bit companion in the 32-bit system folder goes too.
    start("b0030407");
    setup.wow64_dir = companion_folder;
    install();
    is_wow64 = true;
    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask, false}, {caption, done_text, info, false}});
    expect_removed();
    EXPECT_FALSE(path_exists(companion_folder + "VezOdorQFZ27.DLL"));
}

// ARM64 Windows, simulated (use_arm64_windows): the ARM64 library in the
// system folder and the companion in the 32-bit one go, and nothing else of
// the system folders.
TEST_F(UninstallerRun, RemovesEverythingOnArm64Windows)
{
    if (!use_arm64_windows(is_wow64, native_machine))
        GTEST_SKIP() << "32-bit Windows";
    setup.wow64_dir = root + "syswow64\\";
    setup.arm64 = true;
    install();
    std::string neighbour = setup.system_dir + "KBDGR.DLL";
    write_file(neighbour, "Windows' own layout");
    ASSERT_EQ("seeded Datei7_name", read_file(setup.system_dir + "VezOdorQFZ27.DLL"));
    ASSERT_EQ("seeded Datei3_name", read_file(setup.wow64_dir + "VezOdorQFZ27.DLL"));
    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask, false}, {caption, done_text, info, false}});
    expect_removed();
    EXPECT_FALSE(path_exists(setup.wow64_dir + "VezOdorQFZ27.DLL"));
    EXPECT_EQ("Windows' own layout", read_file(neighbour));
}

TEST_F(UninstallerRun, LibraryMissingOrUndeletable)
{
    install();
    std::string library = setup.system_dir + "VezOdorQFZ27.DLL";
    DeleteFileA(library.c_str());
    std::string missing_text = "Problem bei Deinstallation von Deutsch - Quarzfeld 2.06:\n"
                               "Treiberdatei nicht (mehr) vorhanden:\n  " +
                               library + "\n\nTrotzdem fortfahren?";

    // Missing, and the user does not go on: no further message, nothing changed.
    std::string before = snapshot(setup);
    plan_answers({IDYES, IDNO});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask, false}, {caption, missing_text, ask, false}});
    EXPECT_EQ(before, snapshot(setup));

    // A folder in the library's place is found but cannot be deleted as a
    // file: the removal stops before the registry is touched.
    start("b0030407");
    install();
    DeleteFileA(library.c_str());
    ASSERT_TRUE(CreateDirectoryA(library.c_str(), nullptr));
    before = snapshot(setup);
    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask, false},
                  {file_caption, "Folgende Datei kann nicht gelöscht werden:\n" + library + "\n\n",
                   warn, false},
                  {caption, "Fehler bei Deinstallation von Deutsch - Quarzfeld 2.06:\nFolgende "
                            "Treiberdatei konnte nicht gelöscht werden:\n  " + library,
                   info, false}});
    EXPECT_EQ(before, snapshot(setup));
    RemoveDirectoryA(library.c_str());

    // Missing, and the user goes on: the rest is removed all the same.
    start("b0030407");
    install();
    DeleteFileA(library.c_str());
    plan_answers({IDYES, IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask, false},
                  {caption, missing_text, ask, false},
                  {caption, done_text, info, false}});
    expect_removed();
}

// Other layouts stay: a single entry that is not ours does not stop the
// removal, and an entry added while the question was open is kept.
TEST_F(UninstallerRun, OtherLayoutsOfTheUserStay)
{
    setup.preload = {{"1", "00000407"}};
    install();
    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask, false}, {caption, done_text, info, false}});
    // No Preload value loads the layout: the lists are not rewritten.
    expect_removed(parse_values("d0010407=b0030407"));

    start("b0030407");
    install();
    while_next_box_is_open([] {
        set_key_values(HKEY_CURRENT_USER, seed_preload_path,
                       parse_values("1=00000407 2=d0010407 3=00000409"));
    });
    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask, false}, {caption, done_text, info, false}});
    EXPECT_EQ(parse_values("1=00000407 2=00000409"),
              read_values(HKEY_CURRENT_USER, seed_preload_path));
}

TEST_F(UninstallerRun, LaterFailuresOnlyWarn)
{
    // A Preload key that cannot be rewritten: the lists still name the layout,
    // so the entry stays for a later run, with the uninstaller it starts.
    setup.preload = {{"1", "d0010407"}, {"500", "a0000407"}};
    install();
    ASSERT_TRUE(set_key_access(HKEY_CURRENT_USER, seed_preload_path, "D:(D;;SD;;;WD)(A;;KA;;;WD)"));

    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    set_key_access(HKEY_CURRENT_USER, seed_preload_path, "D:(A;;KA;;;WD)");
    ASSERT_EQ(3u, shown_boxes.size());
    EXPECT_EQ(confirm_text, shown_boxes[0].text);
    // The lists' own reason follows; it names the key.
    EXPECT_EQ(0u, shown_boxes[1].text.find("Warnung bei Deinstallation von Deutsch - Quarzfeld "
                                           "2.06:\nProblem bei Registry-Key-Update:\n  "))
        << shown_boxes[1].text;
    EXPECT_NE(std::string::npos, shown_boxes[1].text.find("Keyboard Layout - Preload"))
        << shown_boxes[1].text;
    EXPECT_EQ(info, shown_boxes[1].flags);
    EXPECT_EQ(std::string(done_text) + entry_kept_text, shown_boxes[2].text);
    EXPECT_EQ(setup.preload, read_values(HKEY_CURRENT_USER, seed_preload_path));
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, layout_key_path(setup).c_str()));
    EXPECT_TRUE(path_exists(setup.product_dir + "\\Uninstall_VezOdorQFZ27.exe"));
    EXPECT_FALSE(path_exists(setup.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.pdf"));
    EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, uninstall_entry_path));

    // A file of the user's that keeps the product folder: the folder's own
    // failure box comes first, then the flow's warning; the entry goes.
    start("b0030407");
    install();
    std::string foreign = setup.product_dir + "\\Notizen.txt";
    write_file(foreign, "the user's own file");
    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask, false},
                  {file_caption, "Folgendes Verzeichnis kann nicht gelöscht werden:\n" +
                                     setup.product_dir + "\n\n", warn, false},
                  {caption, "Warnung bei Deinstallation von Deutsch - Quarzfeld 2.06:\nFolgendes "
                            "Hilfsverzeichnis konnte nicht entfernt werden (möglicherweise ist "
                            "es nicht leer):\n  " + setup.product_dir, info, false},
                  {caption, done_text, info, false}});
    EXPECT_TRUE(path_exists(foreign));
    EXPECT_FALSE(path_exists(setup.product_dir + "\\Uninstall_VezOdorQFZ27.exe"));
    EXPECT_FALSE(path_exists(setup.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.pdf"));
    EXPECT_FALSE(path_exists(setup.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.ico"));
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, uninstall_entry_path));
    DeleteFileA(foreign.c_str());
}

// A removal that had to leave something behind keeps its entry; started again
// from that entry, the copy finds the layout key gone, asks the same question
// and removes what is left, without a word about what went the first time.
TEST_F(UninstallerRun, RepeatedRemovalFinishesWhatWasLeft)
{
    struct leftover {
        const char* what;
        bool wow64;
        // Makes one part resist the first removal; returns what gives it up again.
        std::function<std::function<void()>(const installation&)> resist;
    };
    auto read_only = [](const std::string& path) -> std::function<void()> {
        EXPECT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) << path;
        return [path] { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); };
    };
    const leftover leftovers[] = {
        {"read-only chart", false,
         [&](const installation& s) {
             return read_only(s.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.pdf");
         }},
        {"chart held open", false,
         [](const installation& s) -> std::function<void()> {
             HANDLE holder = hold_file(s.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.pdf");
             EXPECT_NE(nullptr, holder);
             return [holder] { release_file(holder); };
         }},
        {"read-only shortcut", false,
         [&](const installation&) { return read_only(desktop_shortcut_path()); }},
        {"read-only 32-bit library", true,
         [&](const installation& s) { return read_only(s.wow64_dir + "VezOdorQFZ27.DLL"); }},
        // Neither list can be rewritten: both still name the layout.
        {"lists that cannot be rewritten", false,
         [](const installation&) -> std::function<void()> {
             for (const char* list : {seed_preload_path, seed_substitutes_path})
                 EXPECT_TRUE(set_key_access(HKEY_CURRENT_USER, list, "D:(D;;SD;;;WD)(A;;KA;;;WD)"));
             return [] {
                 for (const char* list : {seed_preload_path, seed_substitutes_path})
                     set_key_access(HKEY_CURRENT_USER, list, "D:(A;;KA;;;WD)");
             };
         }},
    };
    for (const leftover& l : leftovers) {
        SCOPED_TRACE(l.what);
        start("b0030407");
        if (l.wow64)
            setup.wow64_dir = root + "syswow64\\";
        install();
        is_wow64 = l.wow64;
        std::function<void()> give_up = l.resist(setup);
        plan_answers({IDYES});
        EXPECT_FALSE(app_run());
        ASSERT_FALSE(shown_boxes.empty());
        EXPECT_EQ(std::string(done_text) + entry_kept_text, shown_boxes.back().text);
        EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, layout_key_path(setup).c_str()));
        ASSERT_TRUE(key_exists(HKEY_LOCAL_MACHINE, uninstall_entry_path));
        give_up();

        reset_message_boxes();
        reset_layout_state();
        copy_text(target_klid, sizeof target_klid, "b0030407");
        plan_answers({IDYES});
        EXPECT_FALSE(app_run());
        expect_boxes({{caption, confirm_text, ask, false}, {caption, done_text, info, false}});
        expect_removed();
        if (l.wow64) {
            EXPECT_FALSE(path_exists(setup.wow64_dir + "VezOdorQFZ27.DLL"));
        }
    }
}

TEST_F(UninstallerRun, ChartLeftBehindKeepsTheEntryAndItsUninstaller)
{
    install();
    std::string chart = setup.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.pdf";
    ASSERT_TRUE(SetFileAttributesA(chart.c_str(), FILE_ATTRIBUTE_READONLY));
    std::string entry_before = snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_entry_path);

    plan_answers({IDYES});
    EXPECT_FALSE(app_run());
    expect_boxes({{caption, confirm_text, ask, false},
                  {file_caption, "Folgende Datei kann nicht gelöscht werden:\n" + chart + "\n\n",
                   warn, false},
                  {caption, "Warnung bei Deinstallation von Deutsch - Quarzfeld 2.06:\nFolgende "
                            "Hilfsdatei konnte nicht gelöscht werden:\n  " + chart, info, false},
                  {caption, std::string(done_text) + "\n\nNicht alles konnte entfernt werden; "
                            "der Eintrag in \"Programme und Features\" bleibt deshalb erhalten, "
                            "damit Sie die Deinstallation später wiederholen können.",
                   info, false}});
    // The entry can start the removal again: its uninstaller is still there.
    EXPECT_EQ(entry_before, snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_entry_path));
    EXPECT_TRUE(path_exists(setup.product_dir + "\\Uninstall_VezOdorQFZ27.exe"));
    EXPECT_TRUE(path_exists(chart));
    EXPECT_FALSE(path_exists(setup.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.ico"));
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, layout_key_path(setup).c_str()));
    SetFileAttributesA(chart.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
