// Folder creation along a path, the listing, and the removal of a folder tree.
#include <string.h>

#include <vector>

#include "files/file_ops.h"
#include "files/folder_path_walk.h"
#include "frame/messages.h"
#include "frame/status_window.h"
#include "tests/files/test_folder.h"
#include "tests/support/message_box_script.h"

using FolderOps = TestFolder;
using texts = std::vector<std::string>;

// The prefixes that folder_create_path hands to folder_create, in order.
static texts walk(const char* path)
{
    texts prefixes;
    bool server_passed = false;
    for (int end = 0; (end = next_folder_prefix(path, end, &server_passed)) >= 0; ++end)
        prefixes.emplace_back(path, end);
    return prefixes;
}

TEST(FolderPathWalk, PassesOverDrivesServersAndDoubledSeparators)
{
    EXPECT_EQ((texts{"C:\\a", "C:\\a\\b"}), walk("C:\\a\\b\\c"));
    EXPECT_EQ((texts{"C:\\a", "C:\\a\\b"}), walk("C:\\a\\b\\"));
    EXPECT_EQ((texts{"C:\\\\a"}), walk("C:\\\\a\\b"));
    EXPECT_EQ((texts{"a"}), walk("a\\b"));
    // "\\" and the server are passed over; a hidden share is tried (its failure
    // is passed over by folder_create_path). Only the first name is a server.
    EXPECT_EQ((texts{"\\\\server\\share$", "\\\\server\\share$\\dir"}), walk("\\\\server\\share$\\dir\\sub"));
    EXPECT_EQ((texts{"\\\\?\\C:\\x"}), walk("\\\\?\\C:\\x\\y"));
}

// Whether the folder's list holds an explicit allow entry for Everyone.
static bool opened_to_everyone(const std::string& folder, DWORD rights)
{
    BYTE descriptor[4096], everyone[] = {1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
    DWORD size;
    BOOL present, defaulted;
    ACL* list = nullptr;
    GetFileSecurityA(folder.c_str(), DACL_SECURITY_INFORMATION, descriptor, sizeof descriptor, &size);
    GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted);
    ACCESS_ALLOWED_ACE* entry;
    for (DWORD i = 0; list && i < list->AceCount && GetAce(list, i, (void**)&entry); ++i) {
        if (entry->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && entry->Header.AceFlags == 0 &&
            entry->Mask == rights && EqualSid(&entry->SidStart, everyone))
            return true;
    }
    return false;
}

TEST_F(FolderOps, CreatePathMakesTheMissingLevelsOnly)
{
    std::string one = path("one"), three = one + "\\two\\three";
    EXPECT_TRUE(folder_create_path(three.c_str()));
    for (const std::string& made : {one, one + "\\two", three}) {
        EXPECT_TRUE(GetFileAttributesA(made.c_str()) & FILE_ATTRIBUTE_DIRECTORY) << made;
        // Wine keeps no access lists on files: it shows one made from the Unix
        // permission bits and maps a written list onto them.
        if (!running_on_wine()) {
            EXPECT_TRUE(opened_to_everyone(made, 0xE01300EF)) << made;
        }
    }
    write_file(one + "\\keep.txt", "keep");
    EXPECT_TRUE(folder_create_path((one + "\\two\\four\\").c_str()));
    EXPECT_TRUE(path_exists(one + "\\two\\four"));
    EXPECT_EQ("keep", read_file(one + "\\keep.txt"));
    EXPECT_TRUE(folder_create((three + "\\").c_str()));

    // "Already exists" is only a success when a folder is what exists.
    write_file(path("file"), "f");
    EXPECT_FALSE(folder_create(path("file").c_str()));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, last_error_code16) << error_text;
    EXPECT_FALSE(folder_create_path(path("file\\below\\deeper").c_str()));
    EXPECT_FALSE(path_exists(path("file\\below")));

    EXPECT_FALSE(folder_create_path((long_path(folder, MAX_PATH) + "\\sub").c_str()));
    EXPECT_EQ((DWORD)ERROR_FILENAME_EXCED_RANGE, last_error_code);
    EXPECT_TRUE(shown_boxes.empty());
}

TEST_F(FolderOps, ListingAndTreeRemoval)
{
    std::string tree = path("tree");
    ASSERT_TRUE(folder_create_path((tree + "\\sub\\deeper").c_str()));
    for (const char* name : {"a.txt", "b.log", "sub\\x.txt", "sub\\y.txt", "sub\\deeper\\z.txt"})
        write_file(tree + "\\" + name, name);

    // A bare extension as mask is "*.txt"; entries carry their full paths.
    dir_listing listing;
    dir_scan_first(&listing, (tree + "\\").c_str(), ".txt");
    ASSERT_NE(nullptr, listing.handle);
    EXPECT_EQ(tree + "\\a.txt", listing.entry.path);
    dir_scan_next(&listing);
    EXPECT_EQ(nullptr, listing.handle);
    EXPECT_EQ(1, listing.count);

    EXPECT_TRUE(folder_delete_tree((tree + "\\").c_str()));
    EXPECT_FALSE(path_exists(tree));
    EXPECT_TRUE(shown_boxes.empty());
    EXPECT_EQ("Lösche Verzeichnis " + tree + " ...", std::string(status_text));
}

TEST_F(FolderOps, TreeRemovalShowsAFileFailureBeforeItsFolders)
{
    std::string tree = path("tree"), locked = tree + "\\sub\\locked.txt";
    ASSERT_TRUE(folder_create_path((tree + "\\sub").c_str()));
    write_file(tree + "\\a.txt", "a");
    write_file(locked, "x");
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));

    // Without its trailing backslash the same folder is meant, not a shorter name.
    EXPECT_FALSE(folder_delete_tree(tree.c_str()));
    EXPECT_FALSE(path_exists(tree + "\\a.txt"));
    ASSERT_EQ(3u, shown_boxes.size());
    const std::string folder_failed = "Folgendes Verzeichnis kann nicht gelöscht werden:\n";
    EXPECT_EQ(0u, shown_boxes[0].text.find("Folgende Datei kann nicht gelöscht werden:\n" + locked +
                                            "\n\nFehlercode 5")) << shown_boxes[0].text;
    EXPECT_EQ(0u, shown_boxes[1].text.find(folder_failed + tree + "\\sub\n\nFehlercode 145"))
        << shown_boxes[1].text;
    EXPECT_EQ(folder_failed + tree + "\n\n" + error_text, shown_boxes[2].text);
}

TEST_F(FolderOps, TreeRemovalTakesAFolderLinkNotItsTarget)
{
    std::string outside = path("outside"), tree = path("tree"), link = tree + "\\link";
    ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr) && CreateDirectoryA(tree.c_str(), nullptr));
    write_file(outside + "\\precious.txt", "p");
    CreateSymbolicLinkA(link.c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | 2 /* unprivileged */);
    // Windows without developer mode wants a privilege for links; Wine 8
    // reports success without making one (and has no junctions either).
    DWORD attributes = GetFileAttributesA(link.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "no folder link could be made here";
    EXPECT_TRUE(folder_delete_tree((tree + "\\").c_str()));
    EXPECT_EQ("p", read_file(outside + "\\precious.txt"));
}
