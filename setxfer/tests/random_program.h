// Random program and table bodies for the round-trip tests: every instruction and
// operand kind, and tables of random lengths in both text forms.
#pragma once
#include "random_bodies.h"

namespace setxfer_test {

inline void random_string(Filler& f, std::size_t b, bool flags) {
    int n = f.set(b + 2, f.pick(9));
    int fg = flags ? f.pick(256) & ((1 << n) - 1) : 0;
    f.set(b + 3, fg);
    for (int i = 0; i < n; ++i)
        if (!((fg >> i) & 1)) f.any(b + 4 + i);
}

inline void random_label(Filler& f, std::size_t b) {
    int v = f.pick(1024);
    f.set(b + 12, v & 0xFF), f.set(b + 13, v >> 8);
}

inline void random_value16(Filler& f, std::size_t b) { f.any(b + 4), f.any(b + 5); }

inline void random_step_operands(Filler& f, std::size_t b, int instruction, int kind) {
    switch (instruction * 10 + kind) {
    case 10: random_string(f, b, false); break;                     // SEND CHR
    case 11: f.index(b + 2, 16); break;                             // SEND TBL
    case 12: f.index(b + 2, 6); break;                              // SEND REG
    case 20: random_string(f, b, true); break;                      // WAIT CHR
    case 22: f.index(b + 2, 16); break;                             // WAIT TRG
    case 23: f.any(b + 2), f.set(b + 3, f.pick(4)); break;          // WAIT TM
    case 25: f.index(b + 2, 6), f.any(b + 3); break;                // WAIT LN
    case 40: random_string(f, b, true), random_label(f, b); break;  // IF CHR
    case 41:
    case 42:
    case 43: f.any(b + 2), random_label(f, b); break;                     // IF TRG/TM/CT
    case 44: f.index(b + 2, 6), f.any(b + 3), random_label(f, b); break;  // IF LN
    case 45: f.index(b + 2, 6), f.index(b + 3, 6), f.index(b + 4, 6), random_label(f, b); break;
    case 70:  // SET REG
        f.index(b + 2, 6);
        if (f.index(b + 3, 3) == 0) {
            int v = f.pick(0x600);
            f.set(b + 4, v & 0xFF), f.set(b + 5, v >> 8);
        }
        break;
    case 71: f.index(b + 2, 2), f.any(b + 3); break;  // SET LN
    case 72:
        f.any(b + 2);
        if (f.index(b + 3, 4) == 0) random_value16(f, b);
        break;
    case 73:
        f.any(b + 2);
        if (f.index(b + 3, 3) == 0) random_value16(f, b);
        break;
    default: break;
    }
}

inline Marked random_program(std::mt19937& rng) {
    Marked m = random_marked(ProgramSize, rng);
    Filler f(m, rng);
    constexpr int kKinds[13] = {0, 5, 6, 0, 6, 0, 0, 6, 0, 0, 0, 0, 0};
    for (std::size_t n = 0; n < 512; ++n) {
        std::size_t b = 16 * n;
        int instruction = f.index(b, 13);
        int kind = kKinds[instruction] ? f.index(b + 1, kKinds[instruction]) : 0;
        if (instruction == 3 || instruction == 5 || instruction == 8 || instruction == 12) random_label(f, b);
        if (instruction == 9) {
            if (f.pick(4) == 0) f.set(b + 13, 0xFF);  // "L *"
            else random_label(f, b);
        }
        random_step_operands(f, b, instruction, kind);
    }
    return m;
}

// Tables of random lengths (now and then a full data set); cells after the last are 0.
inline Marked random_table(std::mt19937& rng) {
    Marked m = random_marked(TableCapacity, rng);
    Filler f(m, rng);
    bool full = f.pick(8) == 0;
    std::size_t offset = 0;
    for (std::size_t k = 0; k <= 16; ++k) {
        f.set(4 * k, offset & 0xFF), f.set(4 * k + 1, offset >> 8);
        m.bytes[4 * k + 2] = m.bytes[4 * k + 3] = 0;  // only the low halves are read and written
        if (k < 16) {
            int len = f.pick(5) == 0 ? 0 : f.pick(full ? 1024 : 70);
            offset = std::min<std::size_t>(offset + len, TableMaxCells);
        }
    }
    for (std::size_t c = 0; c < TableMaxCells; ++c) {
        f.set(68 + 2 * c, c < offset ? f.pick(256) : 0);
        f.set(69 + 2 * c, 0);
    }
    return m;
}

}  // namespace setxfer_test
