// Taking the layout out of Windows' own list of the user's keyboards (Windows
// 8 and later), while its layout key still exists: Windows looks the layout
// up there. The user's Preload and Substitutes lists follow as before, so that
// what an earlier installation wrote into them goes too.
#include "frame/messages.h"
#include "product/product.h"
#include "registry/language_list.h"
#include "registry/layout_state.h"
#include "uninstaller/removal_steps.h"
#include "uninstaller/texts.h"

void remove_from_language_list()
{
    // Without its layout key (a removal run again after one that went as far
    // as the key) there is nothing left that Windows could look up.
    if (target_index < 0)
        return;
    if (language_list_in_use() && !language_list_disable(target_klid))
        msg_warn(text_not_disabled, layout_name);
}
