// The programs' entry point: everything happens in the frame's start-up sequence.
#include "frame/environment.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    return frame_start(instance, show);
}
