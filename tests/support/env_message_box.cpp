// Scripted stand-in for the programs' one MessageBoxA in end-to-end test
// builds: each process takes its answers from QF_BOX_ANSWERS and appends every
// box to the file named by QF_BOX_LOG, which parent and child share.
#include "tests/support/env_message_box.h"

#include <windows.h>

#include "frame/messages.h"
#include "frame/status_window.h"

static int answers_used;

// The answer at position index of the comma-separated list, or 0 when the
// list is shorter.
static int planned_answer(int index)
{
    char list[256];
    DWORD length = GetEnvironmentVariableA(QF_BOX_ANSWERS_VARIABLE, list, sizeof list);
    if (length == 0 || length >= sizeof list)
        return 0;
    const char* p = list;
    for (int i = 0; i < index; ++i) {
        while (*p && *p != ',')
            ++p;
        if (!*p)
            return 0;
        ++p;
    }
    int answer = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        answer = answer * 10 + (*p - '0');
    return answer;
}

static void append_to_log(const char* text, const char* caption, UINT flags)
{
    char path[MAX_PATH];
    DWORD path_length = GetEnvironmentVariableA(QF_BOX_LOG_VARIABLE, path, sizeof path);
    int caption_length = lstrlenA(caption);
    int text_length = lstrlenA(text);
    if (path_length == 0 || path_length >= sizeof path || caption_length > 256 ||
        text_length > message_text_size)
        return;

    // One write per record, so that two processes never mix their records.
    static char record[message_text_size + 512];
    int length = wsprintfA(record, "BOX %lu %u %d %d %d\n", GetCurrentProcessId(), flags,
                           status_window != nullptr ? 1 : 0, caption_length, text_length);
    CopyMemory(record + length, caption, caption_length);
    length += caption_length;
    record[length++] = '\n';
    CopyMemory(record + length, text, text_length);
    length += text_length;
    record[length++] = '\n';

    // Parent and child append to the same file; with FILE_APPEND_DATA alone
    // every write lands at the current end.
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(log, record, length, &written, nullptr);
    CloseHandle(log);
}

int show_message_box(const char* text, const char* caption, UINT flags)
{
    text = text ? text : "";
    caption = caption ? caption : "";
    append_to_log(text, caption, flags);
    int answer = planned_answer(answers_used++);
    if (answer != 0)
        return answer;
    return (flags & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
}
