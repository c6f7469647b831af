// Planning and writing the current user's Preload and Substitutes lists.
#pragma once
#include "registry/layout_state.h"

bool plan_layout_addition(int index);
bool plan_layout_to_front();
bool plan_layout_removal();
// The removal plan when the layout key of target_klid is gone already (a
// removal repeated after one that left files behind): every reference to
// target_klid in the user's lists goes, as in plan_layout_removal; lists that
// name it nowhere stay as they are (preload_unchanged).
bool plan_leftover_removal();
bool write_preload_lists();
