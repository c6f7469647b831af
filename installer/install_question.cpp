// The installer's one question. The layout's name may come from the registry,
// so the question is built here and shown literally, never used as a format.
#include "installer/install_flow.h"

#include "frame/messages.h"
#include "frame/other_account.h"
#include "frame/text.h"
#include "installer/installer_texts.h"

// Room for a note that names the two accounts (at most account_name_size
// bytes each) five times.
enum { account_note_size = 6 * account_name_size + 1024 };

bool ask_installation(bool is_update, const char* shown_name, bool other_account)
{
    char question[message_format_size + account_note_size];
    format_into(question, sizeof question, text_question,
                is_update ? text_verb_update : text_verb_install, shown_name);
    if (other_account) {
        char note[account_note_size];
        format_into(note, sizeof note, text_other_account_note, own_account_name,
                    shell_account_name, own_account_name);
        append_text(question, sizeof question, note);
    }
    // The terms always fit behind a name of at most 259 characters and the note.
    append_text(question, sizeof question, text_terms);
    return msg_ask(as_literal(question)) == IDYES;
}

void append_other_account(char* text, size_t size, bool other_account)
{
    if (!other_account)
        return;
    // Two formats, each of them well below the 1,024 characters that the
    // system's formatting takes, with names of a usual length.
    char note[account_note_size];
    format_into(note, sizeof note, text_other_account_result, own_account_name,
                shell_account_name, own_account_name);
    append_text(text, size, note);
    format_into(note, sizeof note, text_other_account_remedy, shell_account_name,
                shell_account_name);
    append_text(text, size, note);
}
