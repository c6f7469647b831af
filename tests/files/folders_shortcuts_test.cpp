// The system and product folders, the shortcut folders, and shortcuts written
// and read back through the shell link object.
#include <objbase.h>
#include <shlobj.h>
#include <string.h>

#include <vector>

#include "files/system_folders.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "tests/files/test_folder.h"
#include "tests/support/message_box_script.h"

static std::string shell_folder(int csidl)
{
    char path[MAX_PATH] = "";
    EXPECT_EQ(S_OK, SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) << csidl;
    return path + std::string("\\");
}

TEST(SystemFolders, WithAndWithoutEmulation)
{
    char system[MAX_PATH], wow64[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    ASSERT_GT(GetSystemWow64DirectoryA(wow64, sizeof wow64), 0u);
    std::string product = shell_folder(CSIDL_PROGRAM_FILES) + "Quarzfeld";

    is_wow64 = false;
    strcpy(wow64_dir, "stale");
    redirection_state = (PVOID)0x5151;
    system_folders_init();
    redirection_restore();
    EXPECT_EQ(system + std::string("\\"), system_dir);
    EXPECT_STREQ("", wow64_dir);
    EXPECT_EQ(product, product_dir);
    EXPECT_EQ((PVOID)0x5151, redirection_state) << "redirection touched by a native process";

    // 64-bit Windows. In the x86-64 build the flag is set by hand and
    // Wow64DisableWow64FsRedirection fails (on Windows and on Wine): tested are
    // the folders, and that both calls return. In the i686 suites under WoW64
    // redirection really goes off: a file written into system_dir meanwhile
    // lands in the native system folder, not in the 32-bit one.
    if (!use_64bit_windows(is_wow64))
        return;
    const std::string name = "qf-redirection-test.tmp";
    system_folders_init();
    write_file(system_dir + name, "native");
    redirection_restore();
    is_wow64 = false;
    EXPECT_EQ(system + std::string("\\"), system_dir);
    EXPECT_EQ(wow64 + std::string("\\"), wow64_dir);
    EXPECT_EQ(product, product_dir);
    EXPECT_EQ("native", read_file(native_path(system_dir) + name));
    EXPECT_FALSE(path_exists(wow64_dir + name));
    DeleteFileA((native_path(system_dir) + name).c_str());
}

TEST(ShortcutFolders, EachKindOfFolderName)
{
    char out[MAX_PATH];
    auto folder_of = [&](const char* spec, bool all_users) {
        return shortcut_folder_path(out, nullptr, spec, all_users) ? std::string(out) : "false";
    };
    EXPECT_EQ(shell_folder(CSIDL_DESKTOPDIRECTORY), folder_of(nullptr, false));
    EXPECT_EQ(shell_folder(CSIDL_PERSONAL), folder_of(MAKEINTRESOURCEA(CSIDL_PERSONAL), false));
    EXPECT_EQ("Q:\\any where\\", folder_of("Q:\\any where", true));
    EXPECT_EQ(shell_folder(CSIDL_PROGRAMS) + "Gruppe\\", folder_of("Gruppe", false));
    EXPECT_EQ(shell_folder(CSIDL_COMMON_PROGRAMS) + "Gruppe\\", folder_of("Gruppe", true));
    // A folder number the shell does not know: none for the user, the user's
    // programs folder as the fallback for all users.
    EXPECT_EQ("false", folder_of(MAKEINTRESOURCEA(0xFE), false));
    EXPECT_EQ(shell_folder(CSIDL_PROGRAMS), folder_of(MAKEINTRESOURCEA(0xFE), true));
    EXPECT_EQ("false", folder_of(std::string(MAX_PATH, 'n').c_str(), false));
    EXPECT_EQ((DWORD)ERROR_FILENAME_EXCED_RANGE, last_error_code);
}

using Shortcuts = TestFolder;

// A 32-bit program on 64-bit Windows works with redirection off; the shell
// calls run with it on, since Windows loads their DLLs through it (with it
// off a 32-bit process is handed the 64-bit DLLs of the native system folder).
// Wine loads its own DLLs either way, so a shortcut folder under system32
// shows the view the shell work had: with redirection on, the 32-bit one.
TEST_F(Shortcuts, ShellWorkSeesTheFileSystemOfThe32BitProgram)
{
    if (!test_process_is_wow64())
        GTEST_SKIP() << "only a 32-bit process on 64-bit Windows has redirection";
    std::string target = path("Schaubild.pdf");
    write_file(target, "%PDF");
    is_wow64 = true;
    system_folders_init();
    std::string links = std::string(system_dir) + "qf-shortcut-test";
    bool made = shortcut_create(nullptr, target.c_str(), nullptr, links.c_str(), "Quarzfeld", nullptr,
                                nullptr, 0, nullptr, SW_SHOW, false);
    write_file(std::string(system_dir) + "qf-after-shortcut.tmp", "native");   // off again
    bool deleted = shortcut_delete(nullptr, links.c_str(), "Quarzfeld", false);
    redirection_restore();
    is_wow64 = false;

    std::string native = native_path(system_dir), wow64 = wow64_dir;
    EXPECT_TRUE(made);
    EXPECT_TRUE(deleted) << "the shortcut is deleted through the same view";
    EXPECT_TRUE(path_exists(wow64 + "qf-shortcut-test")) << "folder made in the 32-bit view";
    EXPECT_FALSE(path_exists(native + "qf-shortcut-test"));
    EXPECT_EQ("native", read_file(native + "qf-after-shortcut.tmp"));
    remove_tree(wow64 + "qf-shortcut-test");
    remove_tree(native + "qf-shortcut-test");
    DeleteFileA((native + "qf-after-shortcut.tmp").c_str());
}

TEST_F(Shortcuts, CreateWritesAnLnkThatReadsBackAndDeleteRemovesIt)
{
    std::string target = path("Schaubild.pdf"), icon = path("Schaubild.ico"), links = path("a\\b");
    write_file(target, "%PDF");
    EXPECT_TRUE(shortcut_create(nullptr, target.c_str(), "-x", links.c_str(), "Quarzfeld V2.06", (folder + "\\").c_str(),
                                icon.c_str(), 2, "Belegung", SW_SHOWMAXIMIZED, false));
    std::string file = links + "\\Quarzfeld V2.06.LNK";   // folder made, ".LNK" added after the dot
    ASSERT_TRUE(path_exists(file)) << file;

    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link));
    link->QueryInterface(IID_IPersistFile, (void**)&persist);
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    EXPECT_EQ(S_OK, persist->Load(wide, STGM_READ));
    char got[4][MAX_PATH] = {};
    int index = -1;
    link->GetPath(got[0], MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetIconLocation(got[1], MAX_PATH, &index);
    link->GetDescription(got[2], MAX_PATH);
    link->GetWorkingDirectory(got[3], MAX_PATH);
    EXPECT_EQ((std::vector<std::string>{target, icon, "Belegung", folder}),
              (std::vector<std::string>{got[0], got[1], got[2], got[3]}));
    EXPECT_EQ(2, index);
    persist->Release();
    link->Release();
    CoUninitialize();
    // The show command is read from the header (ShowCommand at offset 60 of
    // the link format): Wine writes it, but its Load does not take it back.
    DWORD show = 0;
    memcpy(&show, read_file(file).data() + 60, sizeof show);
    EXPECT_EQ((DWORD)SW_SHOWMAXIMIZED, show);

    EXPECT_TRUE(shortcut_delete(nullptr, links.c_str(), "Quarzfeld V2.06", false));
    EXPECT_FALSE(path_exists(file));
    EXPECT_FALSE(shortcut_delete(nullptr, links.c_str(), "Quarzfeld V2.06", false));
    EXPECT_TRUE(shown_boxes.empty());
}
