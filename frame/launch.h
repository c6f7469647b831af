// Starting another program without waiting for it.
#pragma once

bool launch_program(const char* program, const char* parameters, const char* folder);
