// Existence test, copy and delete of single files, with their status lines and
// German failure boxes.
#include <string.h>

#include "files/file_ops.h"
#include "frame/messages.h"
#include "frame/status_window.h"
#include "tests/files/test_folder.h"
#include "tests/support/message_box_script.h"

using FileOps = TestFolder;

static const std::string delete_failed = "Folgende Datei kann nicht gelöscht werden:\n";

TEST_F(FileOps, ExistsCopyAndTheBoxOfACopyOntoAnExistingFile)
{
    std::string source = path("source.bin"), target = path("target.bin");
    write_file(source, std::string("one\0two", 7));
    ASSERT_TRUE(CreateDirectoryA(path("empty").c_str(), nullptr));
    EXPECT_TRUE(FileExists(path("*.bin").c_str()));
    // An empty folder holds only "." and "..": no match, and no failure either.
    strcpy(error_text, "stale");
    EXPECT_FALSE(FileExists(path("empty\\*").c_str()));
    EXPECT_STREQ("", error_text);
    EXPECT_TRUE(FileExists(path("empty\\.").c_str()));   // the folder itself
    EXPECT_FALSE(FileExists(path("missing\\.").c_str()));

    ASSERT_TRUE(SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(file_copy(source.c_str(), target.c_str(), true, false));
    EXPECT_EQ(std::string("one\0two", 7), read_file(target));
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(target.c_str()));

    write_file(path("other.bin"), "other");
    EXPECT_FALSE(file_copy(path("other.bin").c_str(), target.c_str(), false, false));
    EXPECT_TRUE(shown_boxes.empty());
    EXPECT_FALSE(file_copy(path("other.bin").c_str(), target.c_str(), true, false));
    EXPECT_EQ((DWORD)ERROR_FILE_EXISTS, last_error_code) << error_text;
    EXPECT_EQ(std::string("one\0two", 7), read_file(target));
    ASSERT_EQ(1u, shown_boxes.size());
    EXPECT_EQ("Tastaturtreiber-Installation", shown_boxes[0].caption);
    EXPECT_EQ("Kopieren einer Datei fehlgeschlagen.\n\nQuelle: " + path("other.bin") + "\nZiel: " + target +
                  "\n\n" + error_text, shown_boxes[0].text);
    EXPECT_EQ((unsigned)MB_ICONEXCLAMATION, shown_boxes[0].flags);
}

TEST_F(FileOps, DeleteAnnouncesItselfAndReportsAReadOnlyFile)
{
    std::string locked = path("locked.txt");
    write_file(locked, "x");
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(file_delete(locked.c_str(), true));
    EXPECT_TRUE(path_exists(locked));
    EXPECT_EQ("Lösche " + locked + " ...", std::string(status_text));
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, last_error_code) << error_text;
    ASSERT_EQ(1u, shown_boxes.size());
    EXPECT_EQ("Tastaturtreiber-Installation", shown_boxes[0].caption);
    EXPECT_EQ(delete_failed + locked + "\n\n" + error_text, shown_boxes[0].text);

    // A file that is not there counts as deleted, without a line or a box.
    strcpy(status_text, "unchanged");
    EXPECT_TRUE(file_delete(path("never there.txt").c_str(), true));
    EXPECT_STREQ("unchanged", status_text);

    // Paths of 260 characters are refused: not "gone", since a file of that
    // name cannot even be looked for.
    std::string too_long = long_path(folder, MAX_PATH);
    EXPECT_FALSE(file_delete(too_long.c_str(), true));
    EXPECT_EQ((DWORD)ERROR_FILENAME_EXCED_RANGE, last_error_code);
    ASSERT_EQ(2u, shown_boxes.size());
    EXPECT_EQ(delete_failed + too_long + "\n\n" + error_text, shown_boxes[1].text);
    last_error_code = 0;
    EXPECT_FALSE(file_copy(locked.c_str(), too_long.c_str(), false, true));
    EXPECT_EQ((DWORD)ERROR_FILENAME_EXCED_RANGE, last_error_code);
}
