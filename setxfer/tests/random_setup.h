// Random setup bodies for the round-trip tests: every CONFIGURATION mode, trigger
// factor and action, BEAT mode, FLOW CONTROL template and polling form.
#pragma once
#include "random_bodies.h"

namespace setxfer_test {

inline void random_configuration(Filler& f) {
    int mode = f.index(1, 5);
    auto speeds = [&](std::size_t a, std::size_t b, std::size_t c) {
        f.index(a, 37);
        f.index(b, 37);
        f.index(c, 10);
    };
    if (mode == 0) {
        speeds(2, 3, 4);
        f.index(5, 4), f.index(6, 5), f.index(7, 3), f.index(17, 7);
        for (int o : {19, 20, 22, 23, 25, 27}) f.any(o);
        f.index(26, 2), f.index(28, 2), f.index(29, 2);
    } else if (mode == 1) {
        speeds(30, 31, 32);
        f.index(33, 4), f.index(34, 5), f.index(35, 4), f.index(36, 2);
        for (int o : {38, 39, 40, 47, 48, 50, 51, 53, 55}) f.any(o);
        f.set(41, 1 + f.pick(99));
        f.index(45, 7), f.index(54, 2), f.index(56, 2), f.index(57, 2);
        if (f.index(42, 2)) f.any(43);
    } else if (mode == 2 || mode == 3) {
        int b = mode == 2 ? 58 : 86;
        speeds(b, b + 1, b + 2);
        f.index(b + 3, 4), f.index(b + 4, 5), f.index(b + 5, 4), f.index(b + 6, 2);
        f.index(b + 15, 2), f.index(b + 20, 2);
        if (f.index(b + 16, 2)) f.any(b + 17);
        if (f.index(b + 18, 2)) f.any(b + 19);
    } else {
        speeds(880, 881, 882);
        f.index(904, 2);
    }
}

inline void random_chara(Filler& f, std::size_t b) {
    for (std::size_t row : {b + 2, b + 18}) {
        int cells = f.pick(9);
        for (int i = 0; i < 8; ++i) {
            std::size_t at = row + 2 * i;
            if (i >= cells) {
                f.set(at, 0), f.set(at + 1, 0xFF);
                continue;
            }
            int kind = f.pick(4);  // character, any, mask row, flag
            if (kind == 0) f.set(at, 0xFF), f.any(at + 1);
            else if (kind == 1) f.set(at, 0), f.set(at + 1, 0);
            else if (kind == 2) f.set(at, 0), f.set(at + 1, 1 + f.pick(3));
            else f.set(at, 0), f.set(at + 1, 0x10);
        }
    }
    for (int r = 0; r < 3; ++r) {
        int mask = f.any(b + 34 + 2 * r);
        f.set(b + 35 + 2 * r, f.pick(256) & mask);
    }
}

inline void random_action(Filler& f, std::size_t b) {
    switch (f.index(b + 44, 6)) {
    case 1: f.index(b + 45, 4); break;
    case 2: f.u16(b + 46, 0, 65535), f.u16(b + 48, 0, 65535); break;
    case 3: f.index(b + 50, 2), f.index(b + 51, 3); break;
    case 4: f.index(b + 52, 2), f.index(b + 53, 2); break;
    case 5: f.index(b + 55, 16), f.u16(b + 56, 0, 65535); break;
    default: break;
    }
}

inline void random_trigger(Filler& f, setxfer::Model model) {
    for (std::size_t k = 0; k < 4; ++k) {
        std::size_t b = 114 + 58 * k;
        int factor = f.index(b, 7);
        if (factor == 1) f.set(b + 1, f.pick(model == setxfer::Model::RV7010 ? 16 : 32));
        if (factor == 2) random_chara(f, b);
        if (factor == 3) {
            int mask = f.any(b + 40);
            f.set(b + 41, f.pick(256) & mask);
        }
        if (factor == 4) f.index(b + 42, 2);
        if (factor == 5) f.index(b + 43, 2);
        if (factor == 6) f.set(b + 44, 0);
        else if (factor != 0) random_action(f, b);
    }
}

inline void random_condition(Filler& f, setxfer::Model model) {
    f.index(362, 3), f.index(363, 2), f.index(364, 2), f.index(365, 2), f.index(366, 2);
    f.index(368, 3), f.index(369, 3);
    if (f.index(371, 2))
        for (int i = 0; i < 4; ++i) f.index(372 + i, 8);
    f.index(376, 3), f.index(377, 2), f.index(378, 4);
    if (f.index(379, 2)) f.index(380, 2);
    f.index(381, 7), f.index(382, 2), f.index(383, 3), f.index(384, 2), f.index(385, 2), f.index(386, 2);
    if (model != setxfer::Model::RV7010) f.index(387, 4), f.index(388, 3);
    f.index(389, 2), f.index(390, 2);
}

inline void random_middle(Filler& f, setxfer::Model model) {
    f.u16(346, 1, 65535), f.index(348, 3), f.u16(350, 1, 65535), f.index(352, 3);
    f.u16(354, 1, 65535), f.u16(358, 1, 65535);
    for (int t : {392, 396})
        if (f.index(t, 2)) f.set(t + 1, f.pick(60)), f.set(t + 2, f.pick(24)), f.set(t + 3, 1 + f.pick(31));
    f.index(400, 2);
    for (int w : {402, 406}) {
        int mask = f.pick(0x400), level = f.pick(0x400) & mask;
        f.set(w, mask & 0xFF), f.set(w + 1, mask >> 8), f.set(w + 2, level & 0xFF), f.set(w + 3, level >> 8);
    }
    if (model == setxfer::Model::RV7030) f.index(410, 3), f.index(411, 3), f.index(412, 10);
    int beat = f.index(414, 3);
    if (beat == 1) f.index(415, 7);
    if (beat == 2) {
        int sec = f.pick(100000000);
        for (int i = 0; i < 4; ++i) f.set(416 + i, (sec >> (8 * i)) & 0xFF);
    }
    f.index(420, 5);
    f.u16(422, 0, 9999), f.index(425, 2), f.u16(426, 0, 9999);
    if (model == setxfer::Model::RV7030) f.index(428, 4), f.u16(430, 0, 9999), f.index(433, 2), f.u16(434, 0, 9999);
}

inline void random_flow_echo(Filler& f) {
    int mode = f.index(436, 2);
    f.index(437, 2);
    if (f.index(438, 2) == 0) f.any(439), f.any(440);
    else f.index(441, 2), f.index(442, 2);
    if (mode == 0) f.index(443, 16), f.u16(444, 0, 9999);
    else f.u16(446, 1, 65535), f.u16(448, 1, 255);
    if (f.index(450, 3) == 2) f.any(453), f.u16(454, 0, 9999);
}

inline void random_polling(Filler& f) {
    if (f.index(456, 2) == 0) {
        f.set(457, 1), f.any(458), f.u16(466, 0, 9999), f.index(468, 30);
        return;
    }
    f.u16(470, 0, 9999), f.u16(472, 0, 9999), f.u16(474, 0, 9999);
    int length = f.pick(16);
    for (int i = 0; i < 15; ++i) {
        if (i >= length) f.set(476 + 2 * i, 0), f.set(477 + 2 * i, 0xFF);  // empty cells close the message
        else if (f.pick(3) == 0) f.set(476 + 2 * i, 0), f.set(477 + 2 * i, 0);
        else f.set(476 + 2 * i, 0xFF), f.any(477 + 2 * i);
    }
    for (int i = 0; i < 16; ++i) f.index(506 + i, 17);
    for (int n = 0; n < 32; ++n) {
        int count = f.set(522 + n, f.pick(9));
        for (int i = 0; i < count; ++i) f.any(554 + 8 * n + i);
    }
}

inline Marked random_setup(setxfer::Model model, std::mt19937& rng) {
    Marked m = random_marked(SetupSize, rng);
    Filler f(m, rng);
    f.index(0, 11);
    random_configuration(f);
    random_trigger(f, model);
    random_condition(f, model);
    random_middle(f, model);
    random_flow_echo(f);
    if (model != setxfer::Model::RV7010) random_polling(f);
    return m;
}

}  // namespace setxfer_test
