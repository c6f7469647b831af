// The stub is decoded instruction by instruction; anything beyond the handful
// of forms below is reported rather than guessed at.
#include "tools/pecheck/descriptor_code.h"

#include <stdio.h>

namespace {

bool relocated(const pe_file& pe, uint32_t rva, int type)
{
    auto found = pe.relocations.find(rva);
    return found != pe.relocations.end() && found->second == type;
}

}  // namespace

bool run_descriptor(const pe_file& pe, uint32_t rva, bool edx_high, uint64_t* address, std::string* fault)
{
    bool x64 = pe.machine == 0x8664;
    bool eax_set = false, edx_set = false;
    uint64_t eax = 0, edx = 0;
    uint32_t ip = rva;
    for (int step = 0; step < 8; ++step) {
        uint8_t code[10] = {0};
        if (!read_rva(pe, ip, code, 1)) break;
        read_rva(pe, ip, code, sizeof code);
        if (code[0] == 0xC3 || (code[0] == 0xC2 && code[1] == 0 && code[2] == 0)) {
            if (!eax_set) {
                *fault = "returns without setting the result";
                return false;
            }
            if (edx_high && (!edx_set || edx != 0)) {
                *fault = "EDX (upper half of the 64-bit result) is not set to zero";
                return false;
            }
            *address = eax;
            return true;
        }
        uint32_t imm32 = (uint32_t)code[1] | (uint32_t)code[2] << 8 | (uint32_t)code[3] << 16 | (uint32_t)code[4] << 24;
        if (!x64 && code[0] == 0xB8) {            // mov eax, imm32
            if (!relocated(pe, ip + 1, 3)) {
                *fault = "the address in mov eax has no HIGHLOW relocation";
                return false;
            }
            eax = imm32, eax_set = true, ip += 5;
        } else if (!x64 && code[0] == 0xBA) {     // mov edx, imm32
            edx = imm32, edx_set = true, ip += 5;
        } else if (!x64 && (code[0] == 0x31 || code[0] == 0x33) && code[1] == 0xD2) {  // xor edx, edx
            edx = 0, edx_set = true, ip += 2;
        } else if (x64 && code[0] == 0x48 && code[1] == 0x8D && code[2] == 0x05) {  // lea rax, [rip+disp32]
            int32_t disp = (int32_t)((uint32_t)code[3] | (uint32_t)code[4] << 8 | (uint32_t)code[5] << 16 |
                                     (uint32_t)code[6] << 24);
            eax = pe.image_base + (uint64_t)((int64_t)ip + 7 + disp), eax_set = true, ip += 7;
        } else if (x64 && code[0] == 0x48 && code[1] == 0xB8) {  // mov rax, imm64
            if (!relocated(pe, ip + 2, 10)) {
                *fault = "the address in mov rax has no DIR64 relocation";
                return false;
            }
            eax = 0;
            for (int i = 9; i >= 2; --i) eax = eax << 8 | code[i];
            eax_set = true, ip += 10;
        } else {
            char text[64];
            snprintf(text, sizeof text, "unrecognised instruction byte %02X at RVA %X", code[0], ip);
            *fault = text;
            return false;
        }
    }
    *fault = "no return within the first instructions";
    return false;
}
