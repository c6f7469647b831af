// Fault injection for the code under test, which is linked into the test
// program: the program's calls of a system function go through its import
// address table, and a slot pointed elsewhere makes them call a stand-in.
#pragma once

// Points every slot of the test program's import address table that holds
// from at to. Calls through function pointers taken earlier are not affected.
void redirect_import(void* from, void* to);
// The address of a system DLL's export (of a DLL the program has loaded).
void* system_function(const char* module, const char* name);
