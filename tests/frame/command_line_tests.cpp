// The command line as the frame splits it: through the real GetCommandLineW
// path of a child process (the demonstration program started with a chosen
// UTF-16 command line), and through parse_command_line for the cases that a
// child cannot be given (an empty line) or that fill the argument table.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "frame/environment.h"
#include "tests/frame/demo_child.h"

namespace {

class command_line : public ::testing::Test {
protected:
    void SetUp() override
    {
        program = scratch.file("frame_demo.exe");
        ASSERT_TRUE(copy_demo_program(program)) << "no demonstration program at "
                                                << demo_program_path();
        std::string blank_folder = scratch.folder("mit Leerzeichen");
        program_with_blanks = blank_folder + "\\frame_demo.exe";
        ASSERT_TRUE(copy_demo_program(program_with_blanks));
        report_file = scratch.file("report.txt");
    }
    void TearDown() override { SetEnvironmentVariableA("QF_FRAME_DEMO_DUMP", nullptr); }

    // The child's report for "<quoted program path><rest>".
    child_report run_quoted(const std::wstring& rest)
    {
        return run_demo_child(program_with_blanks,
                              L"\"" + widen(program_with_blanks) + L"\"" + rest, report_file);
    }

    scratch_folder scratch;
    std::string program, program_with_blanks, report_file;
};

#define EXPECT_ARGS(report, ...)                                                     \
    do {                                                                             \
        std::vector<std::string> expected = {__VA_ARGS__};                           \
        ASSERT_TRUE((report).found) << "the child wrote no report";                  \
        EXPECT_EQ((int)expected.size(), (report).arg_count);                         \
        EXPECT_EQ(expected, (report).args) << "command line: " << (report).command_line; \
    } while (0)

TEST_F(command_line, reaches_the_child_unchanged)
{
    std::wstring line = L"\"" + widen(program_with_blanks) + L"\" a b";
    child_report report = run_demo_child(program_with_blanks, line, report_file);
    ASSERT_TRUE(report.found);
    EXPECT_EQ(to_utf8(line), report.command_line);
}

TEST_F(command_line, program_path_alone_gives_no_argument)
{
    child_report quoted = run_quoted(L"");
    EXPECT_ARGS(quoted);
    child_report quoted_blanks = run_quoted(L"   ");
    EXPECT_ARGS(quoted_blanks);
    // The scratch folder's own path has no blanks, so the unquoted path is one token.
    ASSERT_EQ(std::string::npos, program.find(' '));
    child_report plain = run_demo_child(program, widen(program), report_file);
    EXPECT_ARGS(plain);
}

TEST_F(command_line, quoted_program_path_with_blanks_is_one_token)
{
    child_report report = run_quoted(L" KLID");
    EXPECT_ARGS(report, "KLID");
}

TEST_F(command_line, quotes_group_blanks_and_are_dropped)
{
    child_report report = run_quoted(L" a \"b c\" d");
    EXPECT_ARGS(report, "a", "b c", "d");
}

TEST_F(command_line, closing_quote_followed_by_text_starts_the_next_argument)
{
    child_report report = run_quoted(L" \"x\"y");
    EXPECT_ARGS(report, "x", "y");
    child_report after_program = run_quoted(L"next");
    EXPECT_ARGS(after_program, "next");
}

TEST_F(command_line, adjacent_quotes_give_an_empty_argument_that_counts)
{
    child_report report = run_quoted(L" \"\" b");
    EXPECT_ARGS(report, "", "b");
    child_report alone = run_quoted(L" \"\"");
    EXPECT_ARGS(alone, "");
}

TEST_F(command_line, quote_inside_an_unquoted_token_is_an_ordinary_character)
{
    child_report report = run_quoted(L" a\"b c");
    EXPECT_ARGS(report, "a\"b", "c");
}

TEST_F(command_line, unclosed_quote_takes_the_rest_of_the_line)
{
    child_report report = run_quoted(L" a \"b  c d");
    EXPECT_ARGS(report, "a", "b  c d");
}

TEST_F(command_line, only_blanks_separate_and_tabs_stay)
{
    child_report report = run_quoted(L"   a    b\tc   ");
    EXPECT_ARGS(report, "a", "b\tc");
    child_report tab_only = run_quoted(L" \t");
    EXPECT_ARGS(tab_only, "\t");
}

TEST_F(command_line, backslashes_are_no_escape)
{
    child_report report = run_quoted(L" \"C:\\Pfad\\\" x\\\"y");
    EXPECT_ARGS(report, "C:\\Pfad\\", "x\\\"y");
}

TEST_F(command_line, arguments_arrive_in_the_system_code_page)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "system code page is " << GetACP() << ", not 1252";
    // U+00F6 and U+20AC exist in code page 1252 (0xF6, 0x80); U+0101 does not
    // and becomes the default character rather than a look-alike "a".
    child_report report = run_quoted(L" \u00f6\u20ac \u0101");
    EXPECT_ARGS(report, "\xf6\x80", "?");
}

TEST_F(command_line, program_name_drops_only_the_last_extension)
{
    std::string dotted = scratch.file("name.part.exe");
    ASSERT_TRUE(copy_demo_program(dotted));
    child_report report = run_demo_child(dotted, L"\"" + widen(dotted) + L"\"", report_file);
    ASSERT_TRUE(report.found);
    EXPECT_EQ("name.part", report.program_name);
    EXPECT_EQ("frame_demo", run_quoted(L"").program_name);
}

// parse_command_line directly.

std::string wide_arg(int index)
{
    char text[path_size * 3];
    WideCharToMultiByte(CP_UTF8, 0, args_wide[index], -1, text, sizeof text, nullptr, nullptr);
    return text;
}

TEST(parse_command_line, empty_or_missing_line_gives_minus_one)
{
    parse_command_line(L"");
    EXPECT_EQ(-1, arg_count);
    parse_command_line(nullptr);
    EXPECT_EQ(-1, arg_count);
    parse_command_line(L"prog.exe");
    EXPECT_EQ(0, arg_count);
}

TEST(parse_command_line, clears_what_an_earlier_line_left)
{
    parse_command_line(L"prog a b c");
    ASSERT_EQ(3, arg_count);
    parse_command_line(L"prog x");
    EXPECT_EQ(1, arg_count);
    EXPECT_STREQ("x", args[0]);
    EXPECT_STREQ("", args[1]);
    EXPECT_STREQ("", args[2]);
}

TEST(parse_command_line, thirty_first_and_later_arguments_are_ignored)
{
    std::wstring line = L"prog";
    for (int i = 1; i <= 35; ++i)
        line += L" a" + std::to_wstring(i);
    parse_command_line(line.c_str());
    EXPECT_EQ(max_args, arg_count);
    for (int i = 0; i < max_args; ++i)
        EXPECT_EQ("a" + std::to_string(i + 1), args[i]) << "argument " << i;
}

TEST(parse_command_line, thirty_arguments_fill_the_table_exactly)
{
    std::wstring line = L"prog";
    for (int i = 1; i <= max_args; ++i)
        line += L" \"\"";
    parse_command_line(line.c_str());
    EXPECT_EQ(max_args, arg_count);
}

TEST(parse_command_line, argument_longer_than_the_table_holds_is_empty)
{
    std::wstring longest(path_size - 1, L'w');     // 259 units: held in UTF-16
    std::wstring too_long(path_size, L'x');        // 260 units: not held
    std::wstring fits(path_size - 2, L'y');        // 258 bytes: fits after conversion
    std::wstring line = L"prog " + too_long + L" " + fits + L" \"" + longest + L"\" after " +
                        std::wstring(5000, L'z') + L" last";
    parse_command_line(line.c_str());
    ASSERT_EQ(6, arg_count);
    EXPECT_STREQ("", args[0]);
    EXPECT_EQ(L"", std::wstring(args_wide[0]));
    EXPECT_EQ(std::string(path_size - 2, 'y'), args[1]);
    // 259 units fit the UTF-16 table, but not the 259 bytes (terminator
    // included) of the converted text.
    EXPECT_EQ(std::string(path_size - 1, 'w'), wide_arg(2));
    EXPECT_STREQ("", args[2]);
    EXPECT_STREQ("after", args[3]);
    EXPECT_STREQ("", args[4]);
    EXPECT_STREQ("last", args[5]);
}

TEST(parse_command_line, long_line_past_the_table_leaves_the_following_state_intact)
{
    // The table is followed by the UTF-16 table and other frame state: a line of
    // many long arguments must write neither past its rows nor past the table.
    std::wstring line = L"prog";
    for (int i = 0; i < 40; ++i)
        line += L" " + std::wstring(300 + i, L'q');
    center_window = true;
    parse_command_line(line.c_str());
    EXPECT_EQ(max_args, arg_count);
    for (int i = 0; i < max_args; ++i)
        EXPECT_STREQ("", args[i]);
    EXPECT_TRUE(center_window);
    center_window = false;
}

TEST(environment_probe, reads_the_own_command_line_and_program_name)
{
    app_instance = GetModuleHandleA(nullptr);
    environment_probe();
    // CTest starts this program with one option (--gtest_brief=1) or none.
    EXPECT_GE(arg_count, 0);
    EXPECT_STREQ("frame_command_line_tests", program_name);
    EXPECT_STREQ(program_name, window_title);
}

}  // namespace
