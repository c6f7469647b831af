// What the uninstaller says when it runs under another account than the
// signed-in person's (frame/other_account.h): the removal reaches that
// account's lists and desktop, not the signed-in person's.
#include "frame/messages.h"
#include "frame/other_account.h"
#include "frame/text.h"
#include "uninstaller/removal_steps.h"
#include "uninstaller/texts.h"

// Room for a note that names the accounts three times.
enum { account_note_size = 4 * account_name_size + 1024 };

void append_other_account_note(char* text, size_t size, bool other_account)
{
    if (!other_account)
        return;
    char note[account_note_size];
    format_into(note, sizeof note, text_other_account_note, own_account_name,
                shell_account_name, own_account_name);
    append_text(text, size, note);
}

void append_other_account_result(char* text, size_t size, bool other_account)
{
    if (!other_account)
        return;
    char note[account_note_size];
    format_into(note, sizeof note, text_other_account_result, own_account_name,
                shell_account_name, shell_account_name);
    append_text(text, size, note);
}
