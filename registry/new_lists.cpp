// Appending to the planned Preload and Substitutes lists, which are never
// written past their capacity.
#include "registry/layout_support.h"
#include "registry/registry_texts.h"

bool add_new_preload(const char* name, const char* data, const char* substitute)
{
    if (!name || !data)
        return fail_layout(text_out_of_memory);
    if (newpreloadcount == list_capacity)
        return fail_layout(text_new_list_full, static_cast<int>(list_capacity));
    new_preload[newpreloadcount++] = {name, data, substitute};
    return true;
}

bool add_new_substitute(const char* name, const char* data)
{
    if (!name || !data)
        return fail_layout(text_out_of_memory);
    if (new_substitute_count == list_capacity)
        return fail_layout(text_new_list_full, static_cast<int>(list_capacity));
    new_substitutes[new_substitute_count++] = {name, data};
    return true;
}
