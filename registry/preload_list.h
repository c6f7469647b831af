// Planning and writing the current user's Preload and Substitutes lists.
#pragma once
#include "registry/layout_state.h"

bool plan_layout_addition(int index);
bool plan_layout_to_front();
bool plan_layout_removal();
bool write_preload_lists();
