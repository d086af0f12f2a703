// Default contents of the table, program and third table, and the checks a
// data set from the PC must pass before the analyzer takes it.
#include "sets/data_store.h"

namespace simulator {
namespace {

std::size_t index(SetKind kind) { return static_cast<std::size_t>(kind); }

void put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t get32(const std::vector<std::uint8_t>& v, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t{v[at + i]} << (8 * i);
    return value;
}

// Sixteen short tables: the control characters a line test sends most.
std::vector<std::uint8_t> default_table() {
    static constexpr std::uint8_t kCells[16][3] = {
        {0x05, 0xFF, 0xFF}, {0x06, 0xFF, 0xFF}, {0x15, 0xFF, 0xFF}, {0x10, 0x3B, 0xFF},
        {0x04, 0xFF, 0xFF}, {0x10, 0x30, 0xFF}, {0x10, 0x31, 0xFF}, {0x10, 0x3C, 0xFF},
        {0x02, 0x41, 0x03}, {0x02, 0x42, 0x03}, {0x11, 0xFF, 0xFF}, {0x13, 0xFF, 0xFF},
        {0x1E, 0xFF, 0xFF}, {0x1F, 0xFF, 0xFF}, {0x0D, 0x0A, 0xFF}, {0x55, 0xAA, 0xFF},
    };
    std::vector<std::uint8_t> cells;
    std::vector<std::uint8_t> table(kTableHead);
    for (std::size_t k = 0; k < 16; ++k) {
        put32(table, 4 * k, static_cast<std::uint32_t>(cells.size()));
        for (std::uint8_t c : kCells[k])
            if (c != 0xFF) cells.push_back(c);
    }
    put32(table, 64, static_cast<std::uint32_t>(cells.size()));
    for (std::uint8_t c : cells) table.insert(table.end(), {c, 0x00});
    return table;
}

// A program of NOP steps that ends in STOP: runs, and does nothing harmful.
std::vector<std::uint8_t> default_program() {
    std::vector<std::uint8_t> program(kProgramSize, 0);
    program[16 * 1] = 11;  // STOP
    return program;
}

std::vector<std::uint8_t> default_table3() {
    std::vector<std::uint8_t> table3(kTable3Fixed, 0);
    for (std::size_t i = 0; i < 256; ++i) table3[i] = static_cast<std::uint8_t>(i);
    put32(table3, 2034, 0);  // no extra part
    return table3;
}

bool well_formed_table(const std::vector<std::uint8_t>& body) {
    if (body.size() < kTableHead) return false;
    const auto n = static_cast<std::int16_t>(body[64] | body[65] << 8);
    return n >= 0 && static_cast<std::size_t>(n) <= kTableMaxCells &&
           body.size() == kTableHead + 2 * static_cast<std::size_t>(n);
}

bool well_formed_table3(const std::vector<std::uint8_t>& body) {
    if (body.size() < kTable3Fixed) return false;
    const std::uint32_t extra = get32(body, 2034);
    return extra <= kTable3MaxExtra && body.size() == kTable3Fixed + extra;
}

}  // namespace

std::optional<SetKind> set_for_item(std::uint16_t item) {
    switch (item) {
    case 0x2000: return SetKind::Setup;
    case 0x6000: return SetKind::Table;
    case 0x7000: return SetKind::Program;
    case 0x8000: return SetKind::Table3;
    case 0x8100: return SetKind::Info;
    case 0xF000: return SetKind::Screen;
    default: return std::nullopt;
    }
}

std::optional<SetKind> set_for_digit(char digit) {
    switch (digit) {
    case '1': return SetKind::Setup;
    case '2': return SetKind::Table;
    case '3': return SetKind::Table3;
    case '5': return SetKind::Program;
    default: return std::nullopt;
    }
}

bool puttable(SetKind kind) {
    return kind == SetKind::Setup || kind == SetKind::Table || kind == SetKind::Program || kind == SetKind::Table3;
}

DataStore::DataStore(Model model, LineMode mode) : model_(model) {
    sets_[index(SetKind::Setup)] = default_setup(model, mode);
    sets_[index(SetKind::Table)] = default_table();
    if (has(SetKind::Program)) sets_[index(SetKind::Program)] = default_program();
    if (has(SetKind::Table3)) sets_[index(SetKind::Table3)] = default_table3();
    sets_[index(SetKind::Info)] = std::vector<std::uint8_t>(388, 0);
    sets_[index(SetKind::Screen)] = std::vector<std::uint8_t>(kScreenBytes, 0);
}

bool DataStore::has(SetKind kind) const {
    if (kind == SetKind::Program) return model_ == Model::Rv7030;
    if (kind == SetKind::Table3) return model_ != Model::Rv7010;
    return true;
}

const std::vector<std::uint8_t>& DataStore::bytes(SetKind kind) const { return sets_[index(kind)]; }

bool DataStore::put(SetKind kind, std::vector<std::uint8_t> body) {
    if (!has(kind) || !puttable(kind)) return false;
    switch (kind) {
    case SetKind::Setup:
        if (body.size() == kOldSetupSize) {
            // An older PC program sends the first 880 bytes; the rest keeps our values.
            const auto& current = setup();
            body.insert(body.end(), current.begin() + kOldSetupSize, current.end());
        }
        if (body.size() != kSetupSize) return false;
        break;
    case SetKind::Table:
        if (!well_formed_table(body)) return false;
        break;
    case SetKind::Program:
        if (body.size() != kProgramSize) return false;
        break;
    case SetKind::Table3:
        if (!well_formed_table3(body)) return false;
        break;
    default: return false;
    }
    sets_[index(kind)] = std::move(body);
    return true;
}

void DataStore::set(SetKind kind, std::vector<std::uint8_t> body) { sets_[index(kind)] = std::move(body); }

}  // namespace simulator
