// Names of Windows' virtual-key codes as the layout source writes them
// ("A", "7", "OEM_PLUS", "NUMPAD0"): the documented VK_ values without the prefix.
#pragma once

// The code of a name, or -1 when the name is unknown.
int vk_from_name(const char* name);
// The name of a code, or null when the code has none here.
const char* vk_name(int vk);
