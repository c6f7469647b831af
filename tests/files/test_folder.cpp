// Private temporary folders and file helpers for the file-service tests.
#include "tests/files/test_folder.h"

#include <fstream>
#include <iterator>

#include "tests/support/message_box_script.h"

// Links are removed, never walked into.
static void remove_tree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName, path = folder + "\\" + name;
        if (name == "." || name == "..")
            continue;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA(path.c_str());
        else if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            RemoveDirectoryA(path.c_str());
        else
            remove_tree(path);
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    RemoveDirectoryA(folder.c_str());
}

void write_file(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    EXPECT_TRUE((out << content).good()) << "cannot write " << path;
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool path_exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string long_path(const std::string& folder, size_t length)
{
    return folder + "\\" + std::string(length - folder.size() - 1, 'x');
}

bool running_on_wine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

void TestFolder::SetUp()
{
    reset_message_boxes();
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    folder = temp + std::string("qf_files_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
             "_" + std::to_string(GetCurrentProcessId());
    remove_tree(folder);
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder << ": " << GetLastError();
}

void TestFolder::TearDown()
{
    remove_tree(folder);
    EXPECT_FALSE(path_exists(folder)) << "left behind: " << folder;
}
