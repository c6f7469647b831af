// The installer's one question. The layout's name may come from the registry,
// so the question is built here and shown literally, never used as a format.
#include "installer/install_flow.h"

#include "frame/messages.h"
#include "frame/text.h"
#include "installer/installer_texts.h"

bool ask_installation(bool is_update, const char* shown_name)
{
    char question[message_format_size];
    format_into(question, sizeof question, text_question,
                is_update ? text_verb_update : text_verb_install, shown_name);
    // The terms always fit behind a name of at most 259 characters.
    append_text(question, sizeof question, text_terms);
    return msg_ask(as_literal(question)) == IDYES;
}
