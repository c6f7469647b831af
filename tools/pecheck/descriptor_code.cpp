// The stub is decoded instruction by instruction; anything beyond the handful
// of forms below is reported rather than guessed at. x86 and x64 code is read
// byte by byte; ARM64 code is a run of 32-bit little-endian words.
#include "tools/pecheck/descriptor_code.h"

#include <stdio.h>

namespace {

bool relocated(const pe_file& pe, uint32_t rva, int type)
{
    auto found = pe.relocations.find(rva);
    return found != pe.relocations.end() && found->second == type;
}

// ARM64: adrp and add (immediate) build the address in registers, ret (to
// x30) hands x0 back. Both are PC-relative or constant and carry no
// relocation; any other instruction, or a register read before it is set, is
// refused.
bool run_descriptor_arm64(const pe_file& pe, uint32_t rva, uint64_t* address, std::string* fault)
{
    uint64_t x[31] = {0};
    bool set[31] = {false};
    uint32_t ip = rva;
    for (int step = 0; step < 8; ++step, ip += 4) {
        uint8_t code[4];
        if (!read_rva(pe, ip, code, sizeof code)) break;
        uint32_t word = (uint32_t)code[0] | (uint32_t)code[1] << 8 | (uint32_t)code[2] << 16 |
                        (uint32_t)code[3] << 24;
        uint64_t pc = pe.image_base + ip;
        unsigned rd = word & 31, rn = word >> 5 & 31;
        char text[96];
        if (word == 0xD65F03C0) {  // ret
            if (!set[0]) {
                *fault = "returns without setting the result (x0)";
                return false;
            }
            *address = x[0];
            return true;
        }
        if ((word & 0x9F000000) == 0x90000000) {  // adrp xd, page
            if (rd == 31) {
                *fault = "adrp into xzr";
                return false;
            }
            uint64_t pages = (word >> 29 & 3) | (uint64_t)(word >> 5 & 0x7FFFF) << 2;
            int64_t offset = (int64_t)(pages << 43) >> 31;  // 21-bit signed page count, times 4096
            x[rd] = (pc & ~(uint64_t)0xFFF) + (uint64_t)offset, set[rd] = true;
        } else if ((word & 0xFF800000) == 0x91000000) {  // add xd, xn, #imm12{, lsl #12}
            if (rd == 31 || rn == 31 || !set[rn]) {
                snprintf(text, sizeof text, "add at RVA %X %s", ip,
                         rd == 31 || rn == 31 ? "uses sp" : "reads a register not set before");
                *fault = text;
                return false;
            }
            uint64_t imm = word >> 10 & 0xFFF;
            x[rd] = x[rn] + (word & 0x00400000 ? imm << 12 : imm), set[rd] = true;
        } else {
            snprintf(text, sizeof text, "unrecognised instruction %08X at RVA %X", word, ip);
            *fault = text;
            return false;
        }
    }
    *fault = "no return within the first instructions";
    return false;
}

}  // namespace

bool run_descriptor(const pe_file& pe, uint32_t rva, bool edx_high, uint64_t* address, std::string* fault)
{
    if (pe.machine == 0xAA64) return run_descriptor_arm64(pe, rva, address, fault);
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
