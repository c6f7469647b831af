// The formatter, the four message boxes (through the scripted stand-in that
// the test programs link instead of MessageBoxA) and the error record.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "frame/environment.h"
#include "frame/messages.h"
#include "frame/status_window.h"
#include "tests/support/message_box_script.h"

namespace {

const char canary = '\xbd';

class messages : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_message_boxes();
        lstrcpyA(program_name, "Testprogramm");
        status_window = nullptr;
    }
};

TEST(format_text, expands_printf_style_conversions)
{
    char dest[100];
    EXPECT_EQ(22, format_into(dest, sizeof dest, "%s: %d %02d %08lX %ld", "KLID", 7, 3, 0x407ul, -5l));
    EXPECT_STREQ("KLID: 7 03 00000407 -5", dest);
}

TEST(format_text, text_without_percent_is_copied_even_with_arguments)
{
    char dest[100];
    EXPECT_EQ(5, format_into(dest, sizeof dest, "Hallo", "unused", 42));
    EXPECT_STREQ("Hallo", dest);
    EXPECT_EQ(0, format_into(dest, sizeof dest, ""));
    EXPECT_STREQ("", dest);
}

TEST(format_text, ready_made_text_with_percent_is_expanded_as_a_format)
{
    char dest[100];
    format_into(dest, sizeof dest, "zu 100%% fertig");
    EXPECT_STREQ("zu 100% fertig", dest);
}

TEST(format_text, empty_expansion_shows_the_format_itself)
{
    char dest[100];
    format_into(dest, sizeof dest, "%s", "");
    EXPECT_STREQ("%s", dest);
}

TEST(format_text, literal_prefix_shows_the_rest_unchanged)
{
    char dest[100];
    EXPECT_EQ(11, format_into(dest, sizeof dest, LITERAL_PREFIX "50% von %s!", "x"));
    EXPECT_STREQ("50% von %s!", dest);
    // A single 0x7F is an ordinary character.
    format_into(dest, sizeof dest, "\x7f%d", 5);
    EXPECT_STREQ("\x7f" "5", dest);
}

TEST(format_text, missing_format_names_the_internal_error)
{
    char dest[100];
    format_into(dest, sizeof dest, nullptr);
    EXPECT_STREQ("<INTERNER FEHLER: Formatstring fehlt>", dest);
}

TEST(format_text, cuts_at_the_destination_size)
{
    char dest[12];
    memset(dest, canary, sizeof dest);
    EXPECT_EQ(9, format_into(dest, 10, "%s", "0123456789abcdef"));
    EXPECT_STREQ("012345678", dest);
    EXPECT_EQ(canary, dest[10]);
    memset(dest, canary, sizeof dest);
    EXPECT_EQ(9, format_into(dest, 10, "0123456789abcdef"));
    EXPECT_STREQ("012345678", dest);
    EXPECT_EQ(canary, dest[10]);
    memset(dest, canary, sizeof dest);
    format_into(dest, 10, LITERAL_PREFIX "0123456789abcdef");
    EXPECT_STREQ("012345678", dest);
    EXPECT_EQ(canary, dest[10]);
    memset(dest, canary, sizeof dest);
    format_into(dest, 5, nullptr);
    EXPECT_STREQ("<INT", dest);
    EXPECT_EQ(canary, dest[5]);
    memset(dest, canary, sizeof dest);
    format_into(dest, 1, "%s", "x");
    EXPECT_STREQ("", dest);
    EXPECT_EQ(canary, dest[1]);
    memset(dest, canary, sizeof dest);
    EXPECT_EQ(0, format_into(dest, 0, "%s", "x"));
    EXPECT_EQ(canary, dest[0]);
}

TEST(format_text, platform_formatter_cuts_an_expansion_at_1024_characters)
{
    std::string long_text(2000, 'x');
    char dest[message_format_size];
    format_into(dest, sizeof dest, "%s", long_text.c_str());
    size_t length = strlen(dest);
    EXPECT_GE(length, 1023u);
    EXPECT_LE(length, 1024u);
    EXPECT_EQ(std::string(length, 'x'), dest);
}

TEST(format_text, status_text_longer_than_500_characters_is_cut)
{
    std::string long_text(1000, 'p');
    memset(status_text, canary, sizeof status_text);
    show_status("%s", long_text.c_str());
    EXPECT_EQ(500u, strlen(status_text));
    EXPECT_EQ(std::string(500, 'p'), status_text);
    std::string plain(700, 'q');
    show_status(plain.c_str());
    EXPECT_EQ(std::string(500, 'q'), status_text);
}

TEST(to_message_text, control_bytes_become_line_breaks)
{
    char dest[100];
    to_message_text(dest, sizeof dest, "a\tb\nc\r\nd\x01" "e\x1f" "f\x7f\xf6\x80");
    EXPECT_STREQ("a\r\nb\nc\r\nd\r\ne\r\nf\x7f\xf6\x80", dest);
}

TEST(to_message_text, stops_cleanly_at_the_destination_size)
{
    char dest[8];
    memset(dest, canary, sizeof dest);
    to_message_text(dest, 6, "abcd\tef");
    // "abcd" and no half of the CR LF pair.
    EXPECT_STREQ("abcd", dest);
    EXPECT_EQ(canary, dest[6]);
    memset(dest, canary, sizeof dest);
    to_message_text(dest, 7, "abcd\tef");
    EXPECT_STREQ("abcd\r\n", dest);
    EXPECT_EQ(canary, dest[7]);
}

TEST(as_literal, shows_a_text_with_percent_signs_unchanged)
{
    char dest[100];
    const char* literal = as_literal("100% von %s und %d");
    EXPECT_EQ('\x7f', literal[0]);
    EXPECT_EQ('\x7f', literal[1]);
    format_into(dest, sizeof dest, literal);
    EXPECT_STREQ("100% von %s und %d", dest);
    format_into(dest, sizeof dest, as_literal(nullptr));
    EXPECT_STREQ("", dest);
}

TEST_F(messages, msg_info_shows_information_box_with_program_name)
{
    EXPECT_EQ(IDOK, msg_info("Datei %s kopiert.", "a.txt"));
    ASSERT_EQ(1u, shown_boxes.size());
    EXPECT_EQ("Testprogramm", shown_boxes[0].caption);
    EXPECT_EQ("Datei a.txt kopiert.", shown_boxes[0].text);
    EXPECT_EQ(64u, shown_boxes[0].flags);
    EXPECT_FALSE(shown_boxes[0].had_owner);
}

TEST_F(messages, msg_ask_returns_the_answer)
{
    plan_answers({IDYES, IDNO});
    EXPECT_EQ(6, msg_ask("Installieren?"));
    EXPECT_EQ(7, msg_ask("Wirklich %s?", "entfernen"));
    ASSERT_EQ(2u, shown_boxes.size());
    EXPECT_EQ(36u, shown_boxes[0].flags);
    EXPECT_EQ("Testprogramm", shown_boxes[0].caption);
    EXPECT_EQ("Wirklich entfernen?", shown_boxes[1].text);
}

TEST_F(messages, msg_warn_and_captioned_warning)
{
    EXPECT_EQ(IDOK, msg_warn("Fehler %d", 5));
    EXPECT_EQ(IDOK, msg_warn_captioned("Tastaturtreiber-Installation", "Fehler %s", "x"));
    ASSERT_EQ(2u, shown_boxes.size());
    EXPECT_EQ(48u, shown_boxes[0].flags);
    EXPECT_EQ("Testprogramm", shown_boxes[0].caption);
    EXPECT_EQ("Fehler 5", shown_boxes[0].text);
    EXPECT_EQ(48u, shown_boxes[1].flags);
    EXPECT_EQ("Tastaturtreiber-Installation", shown_boxes[1].caption);
    EXPECT_EQ("Fehler x", shown_boxes[1].text);
}

TEST_F(messages, box_text_is_converted_for_the_box)
{
    msg_info("Spalte 1\tSpalte 2\nZeile 2\r\nZeile 3");
    ASSERT_EQ(1u, shown_boxes.size());
    EXPECT_EQ("Spalte 1\r\nSpalte 2\nZeile 2\r\nZeile 3", shown_boxes[0].text);
    EXPECT_STREQ(message_text, shown_boxes[0].text.c_str());
}

TEST_F(messages, umlauts_arrive_in_code_page_1252)
{
    msg_info("Lösche %s", "Datei");
    ASSERT_EQ(1u, shown_boxes.size());
    EXPECT_EQ("L\xf6sche Datei", shown_boxes[0].text);
    EXPECT_EQ('\xf6', shown_boxes[0].text[1]);
}

TEST_F(messages, literal_and_missing_formats_in_a_box)
{
    msg_warn(as_literal("Wert 100% (%s)"));
    msg_warn(nullptr);
    msg_info("%s", "");
    ASSERT_EQ(3u, shown_boxes.size());
    EXPECT_EQ("Wert 100% (%s)", shown_boxes[0].text);
    EXPECT_EQ("<INTERNER FEHLER: Formatstring fehlt>", shown_boxes[1].text);
    EXPECT_EQ("%s", shown_boxes[2].text);
}

TEST_F(messages, box_text_is_cut_at_the_formatting_buffer)
{
    std::string long_text(9000, 'L');
    msg_info(as_literal(long_text.c_str()));
    ASSERT_EQ(1u, shown_boxes.size());
    EXPECT_EQ(std::string(message_format_size - 1, 'L'), shown_boxes[0].text);
}

TEST_F(messages, box_is_owned_by_the_status_window_once_it_exists)
{
    status_window = GetDesktopWindow();   // any window handle will do for the stand-in
    msg_info("x");
    status_window = nullptr;
    ASSERT_EQ(1u, shown_boxes.size());
    EXPECT_TRUE(shown_boxes[0].had_owner);
}

// The error record.

std::string system_text(DWORD code)
{
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                  nullptr, code, 0x400, (LPSTR)&text, 0, nullptr);
    std::string result = length && text ? text : "";
    if (text)
        LocalFree(text);
    return result;
}

// error_text for code: the code line, then ":\n" and the system's text when
// the system has one.
void expect_description_at(int line, const char* code_line, DWORD code)
{
    SCOPED_TRACE(testing::Message() << "code " << code_line << ", from line " << line);
    strcpy(error_step_text, "alter Schritt");
    describe_system_error(code);
    std::string known = system_text(code);
    std::string expected = known.empty() ? code_line : std::string(code_line) + ":\n" + known;
    EXPECT_EQ(expected, error_text);
    EXPECT_STREQ("", error_step_text);
}

// The check reports the line of the test that calls it.
#define expect_description(...) expect_description_at(__LINE__, __VA_ARGS__)

TEST(describe_system_error, decimal_within_the_16_bit_range_else_hexadecimal)
{
    expect_description("Fehlercode 0", 0);
    expect_description("Fehlercode 65535", 65535);
    expect_description("Fehlercode 00010000", 65536);
    expect_description("Fehlercode -65534", (DWORD)-65534);
    expect_description("Fehlercode FFFF0001", (DWORD)-65535);
    expect_description("Fehlercode -1", (DWORD)-1);
    expect_description("Fehlercode 80070005", 0x80070005);
}

TEST(describe_system_error, system_text_follows_after_colon_and_line_break)
{
    describe_system_error(ERROR_ACCESS_DENIED);
    std::string known = system_text(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(known.empty()) << "the system has no text for code 5";
    EXPECT_EQ("Fehlercode 5:\n" + known, error_text);
    describe_system_error(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(0, strncmp(error_text, "Fehlercode 2:\n", 14)) << error_text;
}

TEST(record_last_error, keeps_the_code_and_its_low_16_bits)
{
    strcpy(error_step_text, "alter Schritt");
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(5, record_last_error());
    EXPECT_EQ(5u, last_error_code);
    EXPECT_EQ(5, last_error_code16);
    EXPECT_EQ(0, strncmp(error_text, "Fehlercode 5", 12));
    EXPECT_STREQ("", error_step_text);

    SetLastError(0x80070005);
    EXPECT_EQ(5, record_last_error());
    EXPECT_EQ(0x80070005u, last_error_code);
    EXPECT_EQ(0, strncmp(error_text, "Fehlercode 80070005", 19)) << error_text;
}

TEST(fail_step, records_the_error_and_names_the_step)
{
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(122, fail_step("Schritt %d von %s", 3, "Zugriff"));
    EXPECT_EQ(122u, last_error_code);
    EXPECT_STREQ("Schritt 3 von Zugriff", error_step_text);
    EXPECT_EQ(0, strncmp(error_text, "Fehlercode 122", 14));
}

TEST(check_step, success_records_nothing)
{
    strcpy(error_text, "unberührt");
    strcpy(error_step_text, "unberührt");
    last_error_code = 77;
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(check_step(TRUE, "Schritt %d", 1));
    EXPECT_STREQ("unberührt", error_text);
    EXPECT_STREQ("unberührt", error_step_text);
    EXPECT_EQ(77u, last_error_code);
}

TEST(check_step, failure_records_like_fail_step)
{
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_TRUE(check_step(FALSE, "Schritt %d", 2));
    EXPECT_EQ(5u, last_error_code);
    EXPECT_STREQ("Schritt 2", error_step_text);
    EXPECT_EQ(0, strncmp(error_text, "Fehlercode 5", 12));
}

}  // namespace
