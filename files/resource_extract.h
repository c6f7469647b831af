// Writing one of the program's own resources into a file (installer only).
#pragma once
#include <windows.h>

bool extract_resource(const char* name, const char* type, const char* file_name,
                      const FILETIME* modified, const char* folder);
