// The programs' entry point: everything happens in the frame's start-up
// sequence, which drives the hooks of the program this is linked into.
#include "frame/environment.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    return frame_start(instance, show, &program_hooks);
}
