// Writing the program's own resources (extract_resources.rc) into files.
#include <string.h>

#include "files/resource_extract.h"
#include "frame/environment.h"
#include "frame/messages.h"
#include "tests/files/test_folder.h"
#include "tests/support/message_box_script.h"

using Extract = TestFolder;

static const std::string open_failed = "FEHLER:\nDatei konnte nicht zum Schreiben geöffnet werden.\nName: ";

static std::string all_bytes()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += (char)i;
    return bytes;
}

// 2023-05-04 03:02:01.2345678 UTC: odd down to the 100-nanosecond unit.
static const FILETIME time_stamp = {0xCC22654Eu, 0x01D97E34u};

static BY_HANDLE_FILE_INFORMATION facts(const std::string& path)
{
    BY_HANDLE_FILE_INFORMATION info = {};
    HANDLE file = CreateFileA(path.c_str(), 0, 7, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(GetFileInformationByHandle(file, &info)) << path;
    CloseHandle(file);
    return info;
}

TEST_F(Extract, ExactBytesTimeAndOnlyTheArchiveBitInPlace)
{
    // Names and types are looked up without regard to case.
    EXPECT_TRUE(extract_resource("QfPattern", "QfTestData", "new.dll", &time_stamp, folder.c_str()));
    EXPECT_EQ(all_bytes(), read_file(path("new.dll")));
    BY_HANDLE_FILE_INFORMATION info = facts(path("new.dll"));
    EXPECT_EQ(0, CompareFileTime(&time_stamp, &info.ftLastWriteTime))
        << std::hex << info.ftLastWriteTime.dwHighDateTime << " " << info.ftLastWriteTime.dwLowDateTime;
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_ARCHIVE, info.dwFileAttributes);

    // A longer, read-only target stays the same file, cut to the new length;
    // a folder ending in "/" gets no backslash after it.
    std::string old = path("old.pdf");
    write_file(old, std::string(5000, 'o'));
    ASSERT_TRUE(SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    BY_HANDLE_FILE_INFORMATION before = facts(old);
    EXPECT_TRUE(extract_resource("QFPATTERN", "QFTESTDATA", "old.pdf", &time_stamp, (folder + "/").c_str()));
    EXPECT_EQ(all_bytes(), read_file(old));
    info = facts(old);
    EXPECT_EQ(before.nFileIndexLow, info.nFileIndexLow);
    EXPECT_EQ(before.nFileIndexHigh, info.nFileIndexHigh);
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_ARCHIVE, info.dwFileAttributes);
    EXPECT_TRUE(shown_boxes.empty());
}

TEST_F(Extract, AFileThatCannotBeEmptiedIsAFailedWrite)
{
    // A file with a mapped view cannot be cut shorter; writing over its start
    // would leave the old tail behind the new contents.
    std::string file = path("mapped.bin");
    write_file(file, std::string(5000, 'o'));
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, 3, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE mapping = CreateFileMappingA(held, nullptr, PAGE_READONLY, 0, 0, nullptr);
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(nullptr, view);
    bool written = extract_resource("QFPATTERN", "QFTESTDATA", "mapped.bin", &time_stamp, folder.c_str());
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    CloseHandle(held);
    EXPECT_FALSE(written);
    EXPECT_EQ((DWORD)ERROR_USER_MAPPED_FILE, last_error_code) << error_text;
    ASSERT_EQ(1u, shown_boxes.size());
    EXPECT_EQ("FEHLER:\nDatei-Inhalt konnte nicht geschrieben werden.\nDatei: " + file + "\n" + error_text,
              shown_boxes[0].text);
}

TEST_F(Extract, FailuresToOpenNameTheFullPath)
{
    std::string missing = path("missing") + "/";
    EXPECT_FALSE(extract_resource("QFPATTERN", "QFTESTDATA", "x.dll", &time_stamp, missing.c_str()));
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, last_error_code) << error_text;
    // Too long to be joined: refused, and named as it would have been joined.
    std::string deep = long_path(folder, MAX_PATH - 5);
    EXPECT_FALSE(extract_resource("QFPATTERN", "QFTESTDATA", "x.dll", &time_stamp, deep.c_str()));
    EXPECT_EQ((DWORD)ERROR_FILENAME_EXCED_RANGE, last_error_code);
    ASSERT_EQ(2u, shown_boxes.size());
    EXPECT_EQ(std::string(program_name), shown_boxes[0].caption);
    EXPECT_EQ((unsigned)MB_ICONEXCLAMATION, shown_boxes[0].flags);
    EXPECT_EQ(0u, shown_boxes[0].text.find(open_failed + missing + "x.dll\nFehlercode 3")) << shown_boxes[0].text;
    EXPECT_EQ(open_failed + deep + "\\x.dll\n" + error_text, shown_boxes[1].text);
}

TEST_F(Extract, AMissingOrEmptyResourceTouchesNoFile)
{
    std::string keep = path("keep.bin");
    write_file(keep, "keep");
    ASSERT_TRUE(SetFileAttributesA(keep.c_str(), FILE_ATTRIBUTE_READONLY));
    DWORD attributes = GetFileAttributesA(keep.c_str());
    EXPECT_FALSE(extract_resource("NOSUCHNAME", "QFTESTDATA", "keep.bin", &time_stamp, folder.c_str()));
    EXPECT_FALSE(extract_resource("QFEMPTY", "QFTESTDATA", "empty.bin", &time_stamp, folder.c_str()));
    EXPECT_EQ("keep", read_file(keep));
    EXPECT_EQ(attributes, GetFileAttributesA(keep.c_str()));
    EXPECT_FALSE(path_exists(path("empty.bin")));

    ASSERT_EQ(2u, shown_boxes.size());
    EXPECT_EQ("FEHLER:\nDatei keep.bin nicht aus den Programmresourcen entnehmbar.\n"
              "Interner Fehlerschlüssel: 00000000 00000000 - 0", shown_boxes[0].text);
    // Found but empty: the same refusal, with the handles shown.
    const std::string& text = shown_boxes[1].text;
    EXPECT_EQ(0u, text.find("FEHLER:\nDatei empty.bin nicht")) << text;
    EXPECT_EQ(" - 0", text.substr(text.size() - 4)) << text;
    EXPECT_EQ(std::string::npos, text.find("00000000 00000000")) << text;
}
