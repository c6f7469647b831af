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
    if (language_list_in_use() && !language_list_disable(target_klid))
        msg_warn(text_not_disabled, layout_name);
}
