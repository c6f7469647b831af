// Runs the code of KbdLayerDescriptor on paper: the few instructions a
// compiler makes of "return the tables' address" (x86 and x64: mov/lea/xor,
// ret; ARM64: adrp/add, ret).
#pragma once
#include <stdint.h>
#include <string>

#include "tools/pecheck/pe_file.h"

// The address the function returns, decoded for the image's machine. With
// edx_high (32-bit x86 only) the result is the 64-bit value in EDX:EAX, and
// EDX must be set to zero. A relocatable immediate must carry a relocation.
// False with the reason in *fault.
bool run_descriptor(const pe_file& pe, uint32_t rva, bool edx_high, uint64_t* address, std::string* fault);
