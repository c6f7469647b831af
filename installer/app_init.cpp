// The installer's first hook: it takes no command-line argument, and names
// its status window.
#include "frame/environment.h"
#include "frame/messages.h"
#include "installer/install_flow.h"
#include "installer/installer_texts.h"
#include "product/product.h"

bool app_init()
{
    center_window = true;
    // Refused before anything is read or written, and before a window exists.
    if (arg_count != 0) {
        msg_warn(text_wrong_call, args[0]);
        return false;
    }
    format_into(window_title, sizeof window_title, text_window_title, program_name,
                product_version);
    return true;
}
