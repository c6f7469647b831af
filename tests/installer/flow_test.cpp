// The installer's two hooks in-process, with scripted message boxes, on a
// seeded German Windows: the argument refusal, first installations on 32-bit
// and 64-bit Windows, updates, the answer No and the stops.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "frame/environment.h"
#include "installer/installer_texts.h"
#include "product/product.h"
#include "registry/layout_state.h"
#include "tests/installer/machine.h"
#include "tests/support/folder_faults.h"
#include "tests/support/message_box_script.h"
#include "tests/support/registry_seed.h"

namespace {

const unsigned info_box = MB_OK | MB_ICONINFORMATION;
const unsigned warn_box = MB_OK | MB_ICONEXCLAMATION;
const unsigned question_box = MB_YESNO | MB_ICONQUESTION;

const char installed_text[] =
    "Tastaturbelegung Deutsch - Quarzfeld 2.06 erfolgreich installiert.\n"
    "Die Tastaturbelegung steht Ihnen nach einem Systemneustart zur Verfügung.\n\n"
    "=== BITTE SYSTEM JETZT NEU STARTEN! ===";
const char restart_hint[] =
    "\n\nNach einem Systemneustart sollte die Tastaturbelegung wieder voreingestellt sein.";

// The stored times of the payload table, as the raw 64-bit file time.
ULONGLONG stored_time(unsigned high, unsigned low) { return (ULONGLONG)high << 32 | low; }

std::string question(const char* verb, const std::string& name)
{
    return std::string("Wollen Sie jetzt folgenden Tastatur-Treiber ") + verb + "?\n\n" + name +
           "\n\n" + text_terms;
}

struct expected_box {
    std::string text;
    unsigned flags;
};

// Windows enumerates a key's values in the order they were written; Wine keeps
// them sorted by name, so under Wine only the set of values can be compared.
reg_values as_enumerated(reg_values written)
{
    if (running_on_wine()) {
        std::sort(written.begin(), written.end(), [](const auto& a, const auto& b) {
            return lstrcmpiA(a.first.c_str(), b.first.c_str()) < 0;
        });
    }
    return written;
}

std::string layout_key(const char* klid) { return std::string(seed_layouts_path) + "\\" + klid; }

// The checks report the line of the test that calls them.
#define expect_boxes(...) expect_boxes_at(__LINE__, __VA_ARGS__)
#define expect_written(...) expect_written_at(__LINE__, __VA_ARGS__)
#define expect_product_files() expect_product_files_at(__LINE__)
#define expect_uninstall_entry(klid) expect_uninstall_entry_at(__LINE__, klid)
#define expect_shortcut() expect_shortcut_at(__LINE__)

class InstallerRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        remove_installer_traces();
        seed_german_windows();
        reset_message_boxes();
        reset_layout_state();
        parse_command_line(L"\"C:\\Downloads\\Install_VezOdorQFZ27.exe\"");
        lstrcpyA(program_name, "Install_VezOdorQFZ27");
        is_wow64 = false;
        native_machine = IMAGE_FILE_MACHINE_UNKNOWN;
        places = find_places();
    }

    void TearDown() override
    {
        is_wow64 = false;
        native_machine = IMAGE_FILE_MACHINE_UNKNOWN;
        remove_installer_traces();
        reset_message_boxes();
    }

    // Runs the run hook, which ends the program on every path.
    void run(std::initializer_list<int> answers)
    {
        plan_answers(answers);
        EXPECT_FALSE(app_run());
        EXPECT_EQ(0, unplanned_questions);
    }

    void expect_boxes_at(int line, const std::vector<expected_box>& expected)
    {
        SCOPED_TRACE(testing::Message() << "boxes checked at line " << line);
        ASSERT_EQ(expected.size(), shown_boxes.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(expected[i].text, shown_boxes[i].text) << "box " << i;
            EXPECT_EQ(expected[i].flags, shown_boxes[i].flags) << "box " << i;
            EXPECT_EQ("Install_VezOdorQFZ27", shown_boxes[i].caption) << "box " << i;
        }
    }

    // A written file: the payload's bytes, the stored time to the 100-ns unit,
    // and the archive attribute alone.
    void expect_written_at(int line, const std::string& path, const std::string& content,
                           ULONGLONG time)
    {
        SCOPED_TRACE(testing::Message() << path << ", checked at line " << line);
        ASSERT_TRUE(path_exists(path));
        EXPECT_TRUE(read_file(path) == content) << "content differs, " << read_file(path).size()
                                                << " bytes instead of " << content.size();
        EXPECT_EQ(time, last_write_time(path));
        EXPECT_EQ((DWORD)FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(path.c_str()));
    }

    void expect_product_files_at(int line)
    {
        expect_written_at(line, places.product_dir + "\\Uninstall_VezOdorQFZ27.exe",
                          built_uninstaller(), stored_time(0x01D57321, 0xD61F7EB9));
        expect_written_at(line, places.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.pdf",
                          payload_file("Quarzfeld V2.06 Belegungsschaubild.pdf"),
                          stored_time(0x01D5714A, 0x2C7130EC));
        expect_written_at(line, places.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.ico",
                          payload_file("Quarzfeld V2.06 Belegungsschaubild.ico"),
                          stored_time(0x01D5713B, 0x0E0D0F8E));
    }

    void expect_uninstall_entry_at(int line, const char* klid)
    {
        SCOPED_TRACE(testing::Message() << "uninstall entry checked at line " << line);
        std::string icon = places.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.ico";
        EXPECT_EQ(as_enumerated({
                      {"DisplayName", "Tastaturbelegung Deutsch - Quarzfeld 2.06"},
                      {"UninstallString", "\"" + places.product_dir +
                                              "\\Uninstall_VezOdorQFZ27.exe\" " + klid},
                      {"HelpLink", product_web_address},
                      {"URLUpdateInfo", product_web_address},
                      {"Publisher", publisher_text},
                      {"URLInfoAbout", product_web_address},
                      {"DisplayVersion", "2.06"},
                      {"DisplayIcon", icon},
                      {"Comments", "Tastaturbelegung Deutsch - Quarzfeld 2.06 und Quarzfeld "
                                   "V2.06 Belegungsschaubild von Ihrem Rechner entfernen"}}),
                  read_values(HKEY_LOCAL_MACHINE, uninstall_entry_path));
    }

    void expect_shortcut_at(int line)
    {
        SCOPED_TRACE(testing::Message() << "shortcut checked at line " << line);
        ASSERT_TRUE(path_exists(places.shortcut));
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        IShellLinkA* link = nullptr;
        IPersistFile* file = nullptr;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_IShellLinkA, (void**)&link)));
        link->QueryInterface(IID_IPersistFile, (void**)&file);
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, places.shortcut.c_str(), -1, wide, MAX_PATH);
        EXPECT_EQ(S_OK, file->Load(wide, STGM_READ));
        char text[MAX_PATH] = "";
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        EXPECT_STREQ((places.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.pdf").c_str(), text);
        int icon_index = -1;
        link->GetIconLocation(text, MAX_PATH, &icon_index);
        EXPECT_STREQ((places.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.ico").c_str(), text);
        EXPECT_EQ(0, icon_index);
        link->GetDescription(text, MAX_PATH);
        EXPECT_STREQ("Quarzfeld V2.06 Belegungsschaubild", text);
        file->Release();
        link->Release();
        CoUninitialize();
    }

    // An installed copy under b0010407 whose values differ from ours.
    void seed_installed_copy(const char* file, const char* text)
    {
        seed_layout_key("b0010407", file, text, "0c05");
    }

    void expect_first_installation()
    {
        std::string before_user_lists = snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout");
        run({IDYES});

        expect_boxes({{question("installieren", "Deutsch - Quarzfeld 2.06"), question_box},
                      {installed_text, info_box}});
        // The seeded German keys use the counters 000 to 002 and layout ids
        // below 0c00.
        EXPECT_EQ(as_enumerated({{"Layout Text", "Deutsch - Quarzfeld 2.06"},
                                 {"Layout File", "VezOdorQFZ27.DLL"},
                                 {"Layout Id", "0c00"},
                                 {"Created by VezOdor", ""}}),
                  read_values(HKEY_LOCAL_MACHINE, layout_key("b0030407").c_str()));
        EXPECT_NE(before_user_lists, snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout"));
        EXPECT_EQ(as_enumerated({{"2", "00000407"}, {"1", "d0010407"}}),
                  read_values(HKEY_CURRENT_USER, seed_preload_path));
        EXPECT_EQ((reg_values{{"d0010407", "b0030407"}}),
                  read_values(HKEY_CURRENT_USER, seed_substitutes_path));
        expect_product_files();
        expect_uninstall_entry("b0030407");
        expect_shortcut();
    }

    installer_places places;
};

TEST_F(InstallerRun, RefusesAnyArgumentBeforeAnythingElse)
{
    parse_command_line(L"\"C:\\Downloads\\Install_VezOdorQFZ27.exe\" b0010407 x");
    lstrcpyA(window_title, "unchanged");
    std::string before = machine_snapshot();

    EXPECT_FALSE(app_init());

    expect_boxes({{"Installationsprogramm falsch aufgerufen (mit Kommandoparameter b0010407)",
                   warn_box}});
    EXPECT_FALSE(shown_boxes[0].had_owner);
    EXPECT_STREQ("unchanged", window_title);
    EXPECT_EQ(before, machine_snapshot());
}

TEST_F(InstallerRun, InitialisationNamesTheWindowWithinItsBuffer)
{
    EXPECT_TRUE(app_init());
    EXPECT_TRUE(center_window);
    EXPECT_STREQ("Install_VezOdorQFZ27 V2.06 - Tastaturtreiber-Installation", window_title);
    EXPECT_TRUE(shown_boxes.empty());

    // A program name of the full 259 characters leaves a title cut to the buffer.
    std::string long_name(259, 'n');
    lstrcpyA(program_name, long_name.c_str());
    EXPECT_TRUE(app_init());
    EXPECT_EQ(long_name, std::string(window_title));
}

TEST_F(InstallerRun, FirstInstallationOn32BitWindows)
{
    expect_first_installation();
    expect_written(places.system_dir + "VezOdorQFZ27.DLL", payload_file("VezOdorQFZ27_x86.DLL"),
                   stored_time(0x01D56D16, 0xC4941E0B));
    // In the i686 suites under WoW64 this process's system32 is syswow64.
    if (!test_process_is_wow64()) {
        EXPECT_FALSE(path_exists(places.wow64_dir + "VezOdorQFZ27.DLL"));
    }
}

// In the i686 suites under WoW64 the installer switches redirection off for
// real: the x64 library must land in the native system folder.
TEST_F(InstallerRun, FirstInstallationOn64BitWindows)
{
    if (!use_64bit_windows(is_wow64))
        GTEST_SKIP() << "32-bit Windows";
    // 64-bit Windows always has its 32-bit system folder; a Wine prefix
    // without 32-bit support has none until something creates it.
    CreateDirectoryA(places.wow64_dir.c_str(), nullptr);
    expect_first_installation();
    expect_written(native_path(places.system_dir) + "VezOdorQFZ27.DLL", payload_file("VezOdorQFZ27_x64.DLL"),
                   stored_time(0x01D5729C, 0x667B4573));
    expect_written(places.wow64_dir + "VezOdorQFZ27.DLL", payload_file("VezOdorQFZ27_wow64.DLL"),
                   stored_time(0x01D5729C, 0x6488CF5A));
}

// ARM64 Windows, simulated (use_arm64_windows): its System32 holds ARM64 code
// and takes the ARM64 library, never the x64 one; SysWOW64 takes the same
// companion as on x64 Windows.
TEST_F(InstallerRun, FirstInstallationAndUpdateOnArm64Windows)
{
    if (!use_arm64_windows(is_wow64, native_machine))
        GTEST_SKIP() << "32-bit Windows";
    CreateDirectoryA(places.wow64_dir.c_str(), nullptr);
    std::string system_library = native_path(places.system_dir) + "VezOdorQFZ27.DLL";
    std::string arm64_library = payload_file("VezOdorQFZ27_arm64.DLL");
    ASSERT_FALSE(arm64_library.empty()) << "no ARM64 library in " << QF_TEST_PAYLOAD_DIR;
    expect_first_installation();
    expect_written(system_library, arm64_library, stored_time(0x01DD878E, 0xF7B71877));
    expect_written(places.wow64_dir + "VezOdorQFZ27.DLL", payload_file("VezOdorQFZ27_wow64.DLL"),
                   stored_time(0x01D5729C, 0x6488CF5A));

    // Earlier versions put the x64 library there; an update replaces it.
    write_file(system_library, payload_file("VezOdorQFZ27_x64.DLL"));
    reset_message_boxes();
    reset_layout_state();
    run({IDYES});
    expect_boxes({{question("aktualisieren", "Deutsch - Quarzfeld 2.06"), question_box},
                  {"Tastaturbelegung Deutsch - Quarzfeld 2.06 erfolgreich aktualisliert.",
                   info_box}});
    expect_written(system_library, arm64_library, stored_time(0x01DD878E, 0xF7B71877));
}

TEST_F(InstallerRun, AnswerNoChangesNothing)
{
    std::string before = machine_snapshot();
    run({IDNO});
    expect_boxes({{question("installieren", "Deutsch - Quarzfeld 2.06"), question_box},
                  {"Installation abgebrochen.", info_box}});
    EXPECT_EQ(before, machine_snapshot());
}

TEST_F(InstallerRun, ScanOrPlanningFailureStopsBeforeTheQuestion)
{
    struct {
        void (*prepare)();
        const char* text;
    } failures[] = {
        {[] { delete_key_tree(HKEY_CURRENT_USER, seed_preload_path); },
         "Fehler beim Öffnen des Registry-Keys HKEY_CURRENT_USER\\Keyboard Layout\\Preload"},
        // One key with the counter fff leaves no KLID for a first installation.
        {[] { seed_layout_key("%fff0407", "X.DLL", "X", nullptr); },
         "Keine freie KLID: Neue KLIDs werden nach der höchsten vorhandenen Nummer vergeben, "
         "und die Tastaturbelegung %fff0407 trägt schon die höchste mögliche Nummer fff."},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.text);
        remove_installer_traces();
        seed_german_windows();
        reset_message_boxes();
        failure.prepare();
        std::string before = machine_snapshot();
        run({});
        expect_boxes({{failure.text, warn_box}});
        EXPECT_EQ(before, machine_snapshot());
    }
}

TEST_F(InstallerRun, LayoutValueThatCannotBeWrittenEndsWithoutListOrSuccess)
{
    std::string lists_before = snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout");
    fail_registry_writes_named("Layout Id");
    run({IDYES});
    fail_registry_writes_named(nullptr);

    ASSERT_EQ(2u, shown_boxes.size());
    EXPECT_EQ(0u, shown_boxes[1].text.find(
                      "Fehler beim Schreiben des Registry-Werts \"Layout Id\" unter "
                      "HKEY_LOCAL_MACHINE\\" + layout_key("b0030407") + ":\nFehlercode 5"))
        << shown_boxes[1].text;
    EXPECT_EQ(warn_box, shown_boxes[1].flags);
    EXPECT_EQ(lists_before, snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout"));
    // The half-written key goes again: a later run would take it for an
    // installation and update a layout without "Layout Id".
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, layout_key("b0030407").c_str()));
}

// Only an entry that cannot start the uninstaller is named as missing; a value
// that only describes it is a warning of its own.
TEST_F(InstallerRun, UninstallEntryValueNotWrittenIsTold)
{
    const std::string missing_entry =
        "\n\nFolgende Teile konnten nicht installiert werden: Eintrag in \"Programme und "
        "Features\".";
    const struct {
        const char* value;
        bool starts_uninstaller;
    } cases[] = {
        {"UninstallString", true}, {"DisplayName", true}, {"DisplayIcon", false}, {"Publisher", false}};
    for (const auto& c : cases) {
        const char* value = c.value;
        SCOPED_TRACE(value);
        remove_installer_traces();
        seed_german_windows();
        reset_message_boxes();
        reset_layout_state();
        fail_registry_writes_named(value);
        run({IDYES});
        fail_registry_writes_named(nullptr);

        ASSERT_EQ(3u, shown_boxes.size());
        EXPECT_EQ(0u, shown_boxes[1].text.find(
                          std::string("Warnung:\nFehler beim Schreiben des Registry-Werts \"") +
                          value + "\" unter HKEY_LOCAL_MACHINE\\" + uninstall_entry_path +
                          ":\nFehlercode 5"))
            << shown_boxes[1].text;
        EXPECT_EQ(warn_box, shown_boxes[1].flags);
        EXPECT_EQ(std::string(installed_text) + (c.starts_uninstaller ? missing_entry : ""),
                  shown_boxes[2].text);
    }
}

// The list warning gives the lists' own reason, whatever the uninstall entry
// reported before it.
TEST_F(InstallerRun, ListWarningKeepsItsReasonAfterAnEntryFailure)
{
    seed_installed_copy("VezOdorQFZ27.DLL", "Quarzfeld alt");
    HKEY preload = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, seed_preload_path, 0,
                                           KEY_SET_VALUE, &preload));
    std::string too_long(300, 'a');
    RegSetValueExA(preload, "2", 0, REG_SZ, reinterpret_cast<const BYTE*>(too_long.c_str()),
                   static_cast<DWORD>(too_long.size() + 1));
    RegCloseKey(preload);
    fail_registry_writes_named("UninstallString");
    run({IDYES});
    fail_registry_writes_named(nullptr);

    ASSERT_EQ(4u, shown_boxes.size());
    EXPECT_EQ(0u, shown_boxes[1].text.find("Warnung:\nFehler beim Schreiben des Registry-Werts "
                                           "\"UninstallString\""))
        << shown_boxes[1].text;
    // The lists' reason, whatever its closing sentence.
    EXPECT_EQ(0u, shown_boxes[2].text.find(
                      "Warnung bei Installation von Deutsch - Quarzfeld 2.06:\nProblem bei "
                      "Registry-Key-Update:\n  In HKEY_CURRENT_USER\\Keyboard Layout\\Preload "
                      "stehen Werte, die nicht gelesen werden können (Name oder Daten zu lang, "
                      "Anzahl: 1)"))
        << shown_boxes[2].text;
}

// Windows cannot report a folder, or reports one too long for the path
// buffers: an empty folder value would name the root of the drive.
TEST_F(InstallerRun, FolderThatCannotBeFoundStopsBeforeAnything)
{
    struct {
        std::vector<const char*> queries;
        folder_fault fault;
        bool wow64;
        const char* folder;
    } cases[] = {
        {{"GetSystemDirectoryA"}, folder_unknown, false, "Systemordner"},
        {{"GetSystemDirectoryA"}, folder_too_long, false, "Systemordner"},
        {{"GetSystemWow64DirectoryA"}, folder_unknown, true, "32-Bit-Systemordner"},
        {{"GetSystemWow64DirectoryA"}, folder_too_long, true, "32-Bit-Systemordner"},
        // The Windows folder stands in for the program-files folder.
        {{"SHGetPathFromIDListA", "GetWindowsDirectoryA"}, folder_unknown, false,
         "Programmordner"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.queries[0]);
        reset_message_boxes();
        reset_layout_state();
        std::string before = machine_snapshot();
        is_wow64 = c.wow64;
        for (const char* query : c.queries)
            set_folder_fault(query, c.fault);
        run({});
        clear_folder_faults();
        is_wow64 = false;

        ASSERT_EQ(1u, shown_boxes.size());
        const std::string& text = shown_boxes[0].text;
        std::string start = std::string("Der ") + c.folder + " konnte nicht ermittelt werden:\n";
        std::string end = "\nDie Installation wird nicht durchgeführt; es wurde nichts verändert.";
        EXPECT_EQ(0u, text.find(start)) << text;
        EXPECT_TRUE(text.size() > start.size() + end.size()
                    && text.compare(text.size() - end.size(), end.size(), end) == 0)
            << text;
        EXPECT_EQ(warn_box, shown_boxes[0].flags);
        EXPECT_EQ(before, machine_snapshot());
    }
}

// The chart of an earlier installation that another program holds open stays,
// and the shortcut to it with it.
TEST_F(InstallerRun, UpdateWithTheChartHeldOpenKeepsTheShortcut)
{
    // The holder is started first: Wine rewrites the user's Preload list
    // whenever a process starts.
    std::string chart = places.product_dir + "\\Quarzfeld V2.06 Belegungsschaubild.pdf";
    ASSERT_TRUE(CreateDirectoryA(places.product_dir.c_str(), nullptr));
    write_file(chart, "the earlier chart");
    HANDLE holder = hold_file(chart);
    ASSERT_NE(nullptr, holder);
    seed_installed_copy("VezOdorQFZ27.DLL", "Quarzfeld alt");
    set_user_lists({{"1", "d0010407"}, {"2", "00000407"}}, {{"d0010407", "b0010407"}});

    run({IDYES});
    release_file(holder);

    ASSERT_EQ(3u, shown_boxes.size());
    EXPECT_EQ(0u, shown_boxes[1].text.find("FEHLER:\nDatei konnte nicht zum Schreiben geöffnet "
                                           "werden.\nName: " + chart + "\n"))
        << shown_boxes[1].text;
    EXPECT_EQ("Tastaturbelegung Quarzfeld alt erfolgreich aktualisliert.\n\nFolgende Teile "
              "konnten nicht installiert werden: Belegungsschaubild.",
              shown_boxes[2].text);
    EXPECT_EQ("the earlier chart", read_file(chart));
    expect_shortcut();
}

TEST_F(InstallerRun, UninstallerHeldOpenDuringAnUpdateKeepsTheEarlierEntry)
{
    // The holder is started first: Wine rewrites the user's Preload list
    // whenever a process starts.
    std::string uninstaller = places.product_dir + "\\Uninstall_VezOdorQFZ27.exe";
    ASSERT_TRUE(CreateDirectoryA(places.product_dir.c_str(), nullptr));
    write_file(uninstaller, "the earlier uninstaller");
    HANDLE holder = hold_file(uninstaller);
    ASSERT_NE(nullptr, holder);
    seed_installed_copy("VezOdorQFZ27.DLL", "Quarzfeld alt");
    set_user_lists({{"1", "d0010407"}, {"2", "00000407"}}, {{"d0010407", "b0010407"}});
    set_key_values(HKEY_LOCAL_MACHINE, uninstall_entry_path,
                   {{"DisplayName", entry_name},
                    {"UninstallString", "\"" + uninstaller + "\" b0010407"},
                    {"DisplayVersion", "2.05"}});
    std::string entry_before = snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_entry_path);

    run({IDYES});
    release_file(holder);

    ASSERT_EQ(3u, shown_boxes.size());
    EXPECT_EQ(0u, shown_boxes[1].text.find("FEHLER:\nDatei konnte nicht zum Schreiben geöffnet "
                                           "werden.\nName: " + uninstaller + "\n"))
        << shown_boxes[1].text;
    EXPECT_EQ("Tastaturbelegung Quarzfeld alt erfolgreich aktualisliert.\n\nFolgende Teile "
              "konnten nicht installiert werden: Deinstallationsprogramm, Eintrag in "
              "\"Programme und Features\".",
              shown_boxes[2].text);
    // The earlier entry still starts the earlier uninstaller, which is still there.
    EXPECT_EQ(entry_before, snapshot_tree(HKEY_LOCAL_MACHINE, uninstall_entry_path));
    EXPECT_EQ("the earlier uninstaller", read_file(uninstaller));
}

TEST_F(InstallerRun, ProductFolderThatCannotBeMadeGetsNoEntryNorShortcut)
{
    // A file in the product folder's place.
    write_file(places.product_dir, "not a folder");
    run({IDYES});
    DeleteFileA(places.product_dir.c_str());

    // The question, the three files' failures, and the success that names them.
    ASSERT_EQ(5u, shown_boxes.size());
    for (size_t i = 1; i < 4; ++i)
        EXPECT_EQ(0u, shown_boxes[i].text.find("FEHLER:\nDatei konnte nicht zum Schreiben "
                                               "geöffnet werden.\nName: " + places.product_dir))
            << shown_boxes[i].text;
    EXPECT_EQ(std::string(installed_text) +
                  "\n\nFolgende Teile konnten nicht installiert werden: Deinstallationsprogramm, "
                  "Eintrag in \"Programme und Features\", Belegungsschaubild, Symbol des "
                  "Belegungsschaubilds, Verknüpfung auf dem Desktop.",
              shown_boxes[4].text);
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, uninstall_entry_path));
    EXPECT_FALSE(path_exists(places.shortcut));
    EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, layout_key("b0030407").c_str()));
}

// While the update's question was open, another copy's uninstaller removed
// the layout: nothing is written, and the user is told why.
TEST_F(InstallerRun, LayoutRemovedWhileTheQuestionWasOpenStops)
{
    seed_installed_copy("VezOdorQFZ27.DLL", "Quarzfeld alt");
    set_user_lists({{"1", "d0010407"}, {"2", "00000407"}}, {{"d0010407", "b0010407"}});
    std::string after_removal;
    while_next_box_is_open([&] {
        delete_key_tree(HKEY_LOCAL_MACHINE, layout_key("b0010407").c_str());
        set_user_lists({{"1", "00000407"}}, {});
        after_removal = machine_snapshot();
    });
    run({IDYES});
    expect_boxes({{question("aktualisieren", "Quarzfeld alt"), question_box},
                  {"Während der Rückfrage wurde die Registrierung der Tastaturbelegung Quarzfeld "
                   "alt verändert (von einem anderen Programm oder in den Windows-Einstellungen).\n"
                   "Es wurde nichts installiert. Bitte starten Sie die Installation erneut.",
                   warn_box}});
    EXPECT_EQ(after_removal, machine_snapshot());
}

TEST_F(InstallerRun, UpdateAtPositionOneRewritesNoListAndKeepsTheKey)
{
    seed_installed_copy("VezOdorQFZ27.DLL", "Quarzfeld alt");
    set_user_lists({{"1", "d0010407"}, {"2", "00000407"}}, {{"d0010407", "b0010407"}});
    std::string layout_before = snapshot_tree(HKEY_LOCAL_MACHINE, seed_layouts_path);
    std::string lists_before = snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout");

    run({IDYES});

    expect_boxes({{question("aktualisieren", "Quarzfeld alt"), question_box},
                  {"Tastaturbelegung Quarzfeld alt erfolgreich aktualisliert.", info_box}});
    EXPECT_EQ(layout_before, snapshot_tree(HKEY_LOCAL_MACHINE, seed_layouts_path));
    EXPECT_EQ(lists_before, snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout"));
    expect_written(places.system_dir + "VezOdorQFZ27.DLL", payload_file("VezOdorQFZ27_x86.DLL"),
                   stored_time(0x01D56D16, 0xC4941E0B));
    expect_product_files();
    expect_uninstall_entry("b0010407");
    expect_shortcut();
}

TEST_F(InstallerRun, UpdateOfALayoutMissingFromTheListsPutsItBack)
{
    // The file name in other letter case names the same library.
    seed_installed_copy("vezodorqfz27.dll", "Quarzfeld alt");
    std::string layout_before = snapshot_tree(HKEY_LOCAL_MACHINE, seed_layouts_path);

    run({IDYES});

    expect_boxes({{question("aktualisieren", "Quarzfeld alt"), question_box},
                  {std::string("Tastaturbelegung Quarzfeld alt erfolgreich aktualisliert.") +
                           restart_hint, info_box}});
    EXPECT_EQ(layout_before, snapshot_tree(HKEY_LOCAL_MACHINE, seed_layouts_path));
    EXPECT_EQ(as_enumerated({{"2", "00000407"}, {"1", "d0010407"}}),
              read_values(HKEY_CURRENT_USER, seed_preload_path));
    EXPECT_EQ((reg_values{{"d0010407", "b0010407"}}),
              read_values(HKEY_CURRENT_USER, seed_substitutes_path));
    expect_uninstall_entry("b0010407");
}

TEST_F(InstallerRun, LayoutTextsFromTheRegistryAreShownLiterally)
{
    seed_installed_copy("VezOdorQFZ27.DLL", "Quarzfeld 100% %s%d%n");
    set_user_lists({{"1", "d0010407"}}, {{"d0010407", "b0010407"}});
    run({IDYES});
    expect_boxes({{question("aktualisieren", "Quarzfeld 100% %s%d%n"), question_box},
                  {"Tastaturbelegung Quarzfeld 100% %s%d%n erfolgreich aktualisliert.",
                   info_box}});

    // Without a "Layout Text", the product's own name stands in.
    remove_installer_traces();
    seed_german_windows();
    std::string path = layout_key("b0010407");
    set_key_values(HKEY_LOCAL_MACHINE, path.c_str(), {{"Layout File", "VezOdorQFZ27.DLL"}});
    reset_message_boxes();
    run({IDNO});
    expect_boxes({{question("aktualisieren", "Deutsch - Quarzfeld 2.06"), question_box},
                  {"Installation abgebrochen.", info_box}});
}

TEST_F(InstallerRun, LibraryThatCannotBeWrittenStopsTheInstallation)
{
    // A folder of the library's name cannot be opened as a file.
    std::string library = places.system_dir + "VezOdorQFZ27.DLL";
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(CreateDirectoryA(library.c_str(), nullptr)) << "error " << GetLastError();
    std::string before = machine_snapshot();

    run({IDYES});

    ASSERT_EQ(3u, shown_boxes.size());
    EXPECT_EQ(question("installieren", "Deutsch - Quarzfeld 2.06"), shown_boxes[0].text);
    EXPECT_EQ(0u, shown_boxes[1].text.find("FEHLER:\nDatei konnte nicht zum Schreiben geöffnet "
                                           "werden.\nName: " + library + "\n"))
        << shown_boxes[1].text;
    EXPECT_EQ(warn_box, shown_boxes[1].flags);
    EXPECT_EQ("Installation abgebrochen.", shown_boxes[2].text);
    EXPECT_EQ(info_box, shown_boxes[2].flags);
    EXPECT_EQ(before, machine_snapshot());
}

TEST_F(InstallerRun, LayoutKeyThatCannotBeCreatedEndsWithoutListOrSuccess)
{
    // Below a volatile key Windows refuses a lasting subkey
    // (ERROR_CHILD_MUST_BE_VOLATILE), which is how the installer creates it.
    delete_key_tree(HKEY_LOCAL_MACHINE, seed_layouts_path);
    HKEY layouts = nullptr;
    SetLastError(0xdeadbeef);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, seed_layouts_path, 0, nullptr,
                                             REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                             &layouts, nullptr));
    RegCloseKey(layouts);
    std::string lists_before = snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout");

    run({IDYES});

    expect_boxes({{question("installieren", "Deutsch - Quarzfeld 2.06"), question_box},
                  {"Fehler beim Erstellen des Tastaturbelegungs-Registry-Keys b0010407",
                   warn_box}});
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, layout_key("b0010407").c_str()));
    EXPECT_EQ(lists_before, snapshot_tree(HKEY_CURRENT_USER, "Keyboard Layout"));
    // What came before the layout key stays, as after any stop.
    expect_product_files();
    expect_uninstall_entry("b0010407");
}

TEST_F(InstallerRun, ProductFolderWithEarlierFilesIsRewritten)
{
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(CreateDirectoryA(places.product_dir.c_str(), nullptr)) << GetLastError();
    std::string longer(600000, 'x');
    for (const char* name : {"Uninstall_VezOdorQFZ27.exe", "Quarzfeld V2.06 Belegungsschaubild.pdf",
                             "Quarzfeld V2.06 Belegungsschaubild.ico"}) {
        std::string path = places.product_dir + "\\" + name;
        write_file(path, longer);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    }
    run({IDYES});
    ASSERT_EQ(2u, shown_boxes.size());
    EXPECT_EQ(installed_text, shown_boxes[1].text);
    expect_product_files();
}

}  // namespace
