// Message texts, message boxes and the German description of system errors.
#pragma once
#include <windows.h>
#include <stdarg.h>
#include <stddef.h>

enum { error_text_size = 2048, message_text_size = 32000, message_format_size = 5500 };

extern char error_text[error_text_size];
extern char error_step_text[error_text_size];
extern DWORD last_error_code;
extern WORD last_error_code16;
extern char message_text[message_text_size];

// A format that starts with these two bytes is shown literally.
#define LITERAL_PREFIX "\x7f\x7f"

// Formats into dest (at most size bytes including the terminator; longer
// results are cut). Returns the length of the text, as wvsprintfA does.
int format_text(char* dest, size_t size, const char* format, va_list arguments);
// format_text with the arguments given directly.
int format_into(char* dest, size_t size, const char* format, ...);
// Copies text with every control byte other than CR and LF replaced by CR LF.
void to_message_text(char* dest, size_t size, const char* text);
// Returns a format that shows text exactly as it is (percent signs included).
// The result lives in one static buffer until the next call.
const char* as_literal(const char* text);

int msg_info(const char* format, ...);
int msg_ask(const char* format, ...);
int msg_warn(const char* format, ...);
int msg_warn_captioned(const char* caption, const char* format, ...);
// The one call of MessageBoxA (test builds link a scripted stand-in instead).
int show_message_box(const char* text, const char* caption, UINT flags);

WORD record_last_error();
void describe_system_error(DWORD code);
WORD fail_step(const char* format, ...);
bool check_step(BOOL result, const char* format, ...);
