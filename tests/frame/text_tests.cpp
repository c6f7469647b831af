// The text and path utilities, at the edges where they can really break.
#include <gtest/gtest.h>

#include <string.h>

#include "frame/text.h"

namespace {

const char canary = '\xbd';

TEST(add_backslash, appends_unless_a_separator_ends_the_path)
{
    char path[16] = "";
    EXPECT_TRUE(add_backslash(path, sizeof path));
    EXPECT_STREQ("\\", path);
    strcpy(path, "C:");
    EXPECT_TRUE(add_backslash(path, sizeof path));
    EXPECT_STREQ("C:\\", path);
    strcpy(path, "C:\\dir/");
    EXPECT_TRUE(add_backslash(path, sizeof path));
    EXPECT_STREQ("C:\\dir/", path);
    strcpy(path, "C:\\dir\\");
    EXPECT_TRUE(add_backslash(path, sizeof path));
    EXPECT_STREQ("C:\\dir\\", path);
}

TEST(add_backslash, refuses_when_the_buffer_is_full)
{
    char path[6];
    memset(path, canary, sizeof path);
    memcpy(path, "C:\\ab", 6);     // 5 characters: no room for a sixth
    EXPECT_FALSE(add_backslash(path, 6));
    EXPECT_STREQ("C:\\ab", path);
    char room[7];
    memset(room, canary, sizeof room);
    memcpy(room, "C:\\ab", 6);
    EXPECT_TRUE(add_backslash(room, 6 + 1));
    EXPECT_STREQ("C:\\ab\\", room);
    // A full buffer that already ends in a separator needs no room.
    char full[4] = "C:\\";
    EXPECT_TRUE(add_backslash(full, sizeof full));
    EXPECT_STREQ("C:\\", full);
    // An empty text in a one-byte buffer cannot become "\".
    char tiny[1] = "";
    EXPECT_FALSE(add_backslash(tiny, sizeof tiny));
    EXPECT_STREQ("", tiny);
}

TEST(strip_backslash, removes_one_separator_but_keeps_a_drive_root)
{
    char path[32] = "C:\\";
    strip_backslash(path);
    EXPECT_STREQ("C:\\", path);
    strcpy(path, "C:/");
    strip_backslash(path);
    EXPECT_STREQ("C:/", path);
    strcpy(path, "C:\\dir\\");
    strip_backslash(path);
    EXPECT_STREQ("C:\\dir", path);
    strcpy(path, "C:\\dir/");
    strip_backslash(path);
    EXPECT_STREQ("C:\\dir", path);
    strcpy(path, "C:\\dir\\\\");
    strip_backslash(path);
    EXPECT_STREQ("C:\\dir\\", path);
    strcpy(path, "\\");
    strip_backslash(path);
    EXPECT_STREQ("", path);
    strcpy(path, "");
    strip_backslash(path);
    EXPECT_STREQ("", path);
    strcpy(path, "C:\\dir");
    strip_backslash(path);
    EXPECT_STREQ("C:\\dir", path);
}

TEST(find_text_nocase, finds_the_first_occurrence_in_the_callers_text)
{
    const char* text = "Keyboard LAYOUT and layout";
    EXPECT_EQ(text + 9, find_text_nocase(text, "layout"));
    EXPECT_EQ(text, find_text_nocase(text, "KEYBOARD"));
    EXPECT_EQ(nullptr, find_text_nocase(text, "layouts!"));
    EXPECT_EQ(nullptr, find_text_nocase("lay", "layout"));
}

TEST(find_text_nocase, missing_or_empty_texts_give_none)
{
    EXPECT_EQ(nullptr, find_text_nocase(nullptr, "a"));
    EXPECT_EQ(nullptr, find_text_nocase("a", nullptr));
    EXPECT_EQ(nullptr, find_text_nocase("", "a"));
    EXPECT_EQ(nullptr, find_text_nocase("abc", ""));
}

TEST(find_text_nocase, folds_umlauts_through_the_locale)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "system code page is " << GetACP() << ", not 1252";
    const char* text = "Tastaturbelegung f\xfcr \xe4rzte";     // für ärzte
    EXPECT_EQ(text + 21, find_text_nocase(text, "\xc4RZTE"));     // ÄRZTE
    EXPECT_EQ(text + 17, find_text_nocase(text, "F\xdcR"));       // FÜR
    // The caller's text is not changed by the upper-casing.
    EXPECT_STREQ("Tastaturbelegung f\xfcr \xe4rzte", text);
}

TEST(parse_hex, reads_hexadecimal_digits_and_shifts_on_others)
{
    EXPECT_EQ(1031u, parse_hex("0407"));
    EXPECT_EQ(1031u, parse_hex("00000407"));
    EXPECT_EQ(64u, parse_hex("4x"));
    EXPECT_EQ(0u, parse_hex(""));
    EXPECT_EQ(0u, parse_hex(nullptr));
    EXPECT_EQ(0xABCDEFu, parse_hex("abcDEF"));
    EXPECT_EQ(0xD0000407u, parse_hex("d0000407"));
    EXPECT_EQ(0xFFFFFFFFu, parse_hex("FFFFFFFF"));
    // Wraps at 32 bits: the ninth digit pushes the first one out.
    EXPECT_EQ(0x23456789u, parse_hex("123456789"));
}

TEST(parse_decimal, skips_blanks_and_non_digits)
{
    EXPECT_EQ(-12, parse_decimal("  -12"));
    EXPECT_EQ(12, parse_decimal("1 2"));
    EXPECT_EQ(7, parse_decimal("a7b"));
    EXPECT_EQ(0, parse_decimal(""));
    EXPECT_EQ(0, parse_decimal("-"));
    EXPECT_EQ(0, parse_decimal(nullptr));
    // Only blanks lead: a tab is an ordinary non-digit, so the minus after it
    // no longer counts.
    EXPECT_EQ(5, parse_decimal("\t-5"));
    // A minus after the first digit is skipped like any other character.
    EXPECT_EQ(12, parse_decimal("1-2"));
    EXPECT_EQ(2147483647, parse_decimal("2147483647"));
    EXPECT_EQ((LONG)0x80000000u, parse_decimal("-2147483648"));
    // Wraps at 32 bits instead of overflowing.
    EXPECT_EQ(0, parse_decimal("4294967296"));
}

TEST(copy_text, copies_only_what_fits_whole)
{
    char dest[8];
    memset(dest, canary, sizeof dest);
    EXPECT_TRUE(copy_text(dest, 5, "abcd"));
    EXPECT_STREQ("abcd", dest);
    EXPECT_EQ(canary, dest[5]);
    strcpy(dest, "old");
    EXPECT_FALSE(copy_text(dest, 5, "abcde"));
    EXPECT_STREQ("", dest);
    EXPECT_EQ(canary, dest[5]);
    EXPECT_FALSE(copy_text(dest, 0, "a"));
    EXPECT_TRUE(copy_text(dest, 1, ""));
    EXPECT_STREQ("", dest);
}

TEST(append_text, appends_only_what_fits_whole)
{
    char dest[8];
    memset(dest, canary, sizeof dest);
    strcpy(dest, "ab");
    EXPECT_TRUE(append_text(dest, 5, "cd"));
    EXPECT_STREQ("abcd", dest);
    EXPECT_FALSE(append_text(dest, 5, "e"));
    EXPECT_STREQ("abcd", dest);
    EXPECT_EQ(canary, dest[5]);
    EXPECT_TRUE(append_text(dest, 5, ""));
    EXPECT_STREQ("abcd", dest);
}

}  // namespace
