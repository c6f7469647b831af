// Starting another program: the demonstration program is started through
// launch_program and reports the command line, arguments and working folder
// that reached it.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "frame/environment.h"
#include "frame/launch.h"
#include "frame/messages.h"
#include "frame/status_window.h"
#include "tests/frame/demo_child.h"
#include "tests/support/message_box_script.h"

namespace {

class launch : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_message_boxes();
        lstrcpyA(program_name, "Startertest");
        status_window = nullptr;
        status_text[0] = '\0';
        folder_with_blanks = scratch.folder("Ordner mit Leerzeichen");
        program_with_blanks = folder_with_blanks + "\\frame_demo.exe";
        ASSERT_TRUE(copy_demo_program(program_with_blanks))
            << "no demonstration program at " << demo_program_path();
        program = scratch.file("frame_demo.exe");
        ASSERT_TRUE(copy_demo_program(program));
        report_file = scratch.file("report.txt");
        expect_report_at(report_file);
    }
    void TearDown() override { SetEnvironmentVariableA("QF_FRAME_DEMO_DUMP", nullptr); }

    scratch_folder scratch;
    std::string folder_with_blanks, program_with_blanks, program, report_file;
};

TEST_F(launch, quoted_program_path_and_the_parameters)
{
    std::string work = scratch.folder("Arbeit") + "\\";
    ASSERT_TRUE(launch_program(program_with_blanks.c_str(), "0407ABCD", work.c_str()));
    EXPECT_TRUE(shown_boxes.empty());
    EXPECT_STREQ("Aufruf von 0407ABCD ...", status_text);

    child_report report = read_report(report_file);
    ASSERT_TRUE(report.found) << "the started program wrote no report";
    EXPECT_EQ("\"" + program_with_blanks + "\" 0407ABCD", report.command_line);
    EXPECT_EQ(1, report.arg_count);
    EXPECT_EQ(std::vector<std::string>{"0407ABCD"}, report.args);
    EXPECT_EQ(0, lstrcmpiA(work.substr(0, work.size() - 1).c_str(), report.folder.c_str()))
        << "working folder: " << report.folder;
}

TEST_F(launch, several_parameters_and_no_working_folder)
{
    ASSERT_TRUE(launch_program(program.c_str(), "a \"b c\"", nullptr));
    child_report report = read_report(report_file);
    ASSERT_TRUE(report.found);
    EXPECT_EQ((std::vector<std::string>{"a", "b c"}), report.args);
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    EXPECT_EQ(0, lstrcmpiA(current, report.folder.c_str())) << "working folder: " << report.folder;
}

TEST_F(launch, without_parameters_no_command_line_is_passed)
{
    ASSERT_TRUE(launch_program(program.c_str(), nullptr, nullptr));
    EXPECT_STREQ("Aufruf von <NULL> ...", status_text);
    child_report report = read_report(report_file);
    ASSERT_TRUE(report.found);
    // With no command line the system makes one from the program path: Windows
    // takes the path as it is, Wine puts it in quotes. A command line built by
    // the caller would have been the quoted path followed by a blank.
    EXPECT_TRUE(report.command_line == program || report.command_line == "\"" + program + "\"")
        << "command line: " << report.command_line;
    EXPECT_EQ(0, report.arg_count);
}

TEST_F(launch, drive_root_keeps_its_backslash)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string root = std::string(windows).substr(0, 3);     // "C:\"
    ASSERT_TRUE(launch_program(program.c_str(), "x", root.c_str()));
    child_report report = read_report(report_file);
    ASSERT_TRUE(report.found);
    EXPECT_EQ(0, lstrcmpiA(root.c_str(), report.folder.c_str())) << "working folder: " << report.folder;
}

std::string failure_text(const char* program, const char* folder, const char* parameters)
{
    return std::string("Folgender Programmstart konnte nicht durchgef\xfchrt werden:\nDatei: ") +
           program + "\nAusf\xfchren in: " + folder + "\nParameter: " + parameters + "\n\n" +
           error_text;
}

TEST_F(launch, missing_program_is_reported_with_null_marks)
{
    std::string missing = scratch.file("fehlt.exe");
    EXPECT_FALSE(launch_program(missing.c_str(), nullptr, nullptr));
    ASSERT_EQ(1u, shown_boxes.size());
    EXPECT_EQ(48u, shown_boxes[0].flags);
    EXPECT_EQ("Startertest", shown_boxes[0].caption);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, last_error_code);
    EXPECT_EQ(0, strncmp(error_text, "Fehlercode 2:\n", 14)) << error_text;
    EXPECT_EQ(failure_text(missing.c_str(), "<NULL>", "<NULL>"), shown_boxes[0].text);
}

TEST_F(launch, nothing_given_is_reported_with_three_null_marks)
{
    EXPECT_FALSE(launch_program(nullptr, nullptr, nullptr));
    ASSERT_EQ(1u, shown_boxes.size());
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, last_error_code);
    EXPECT_EQ(failure_text("<NULL>", "<NULL>", "<NULL>"), shown_boxes[0].text);
}

TEST_F(launch, missing_working_folder_is_reported_as_the_caller_passed_it)
{
    std::string missing = scratch.file("gibt es nicht") + "\\";
    EXPECT_FALSE(launch_program(program.c_str(), "0407ABCD", missing.c_str()));
    ASSERT_EQ(1u, shown_boxes.size());
    EXPECT_EQ(failure_text(program.c_str(), missing.c_str(), "0407ABCD"), shown_boxes[0].text);
    EXPECT_STREQ("Aufruf von 0407ABCD ...", status_text) << "the status line stays";
}

TEST_F(launch, parameters_too_long_for_a_command_line_are_refused)
{
    std::string parameters(40000, 'p');
    EXPECT_FALSE(launch_program(program.c_str(), parameters.c_str(), nullptr));
    ASSERT_EQ(1u, shown_boxes.size());
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, last_error_code);
    Sleep(500);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(report_file.c_str()))
        << "nothing may have been started";
}

}  // namespace
