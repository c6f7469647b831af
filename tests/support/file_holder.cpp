// A second process that holds a file open without sharing it, as another
// program (an editor, a virus scanner) may do, until the test ends it.
// Started by hold_file (tests/support/program_run.h) with the file's path.
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    Sleep(INFINITE);
    return 0;
}
