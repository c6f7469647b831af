// Private temporary folders and file helpers for the file-service tests.
#include "tests/files/test_folder.h"

#include "tests/support/message_box_script.h"

std::string long_path(const std::string& folder, size_t length)
{
    return folder + "\\" + std::string(length - folder.size() - 1, 'x');
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
