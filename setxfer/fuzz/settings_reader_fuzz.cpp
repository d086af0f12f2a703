// Fuzz target for the settings-file reader: the first byte chooses the model and the
// send type, the rest is the file. Bodies are exactly their data sets' sizes, so any
// read or write outside them shows up under the sanitizers.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "setxfer/settings_file.h"
#include "setxfer/table_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    auto model = static_cast<setxfer::Model>(data[0] % 3);
    int send_type = (data[0] / 3) % 3;
    std::vector<std::uint8_t> setup(SetupSize, 0x5A);
    std::vector<std::uint8_t> table(TableCapacity, 0);
    std::vector<std::uint8_t> program(ProgramSize, 0xA5);
    std::span<const std::uint8_t> file(data + 1, size - 1);
    auto failure = setxfer::read_settings_file(file, model, send_type, {setup, table, program});
    if (failure && failure->message.empty()) __builtin_trap();
    // Whatever was read must write out again, and the tables must stay usable for input.
    auto text =
        setxfer::write_settings_file({setup, table, program}, model, send_type,
                                     (data[0] & 0x80) ? setxfer::TableForm::Character : setxfer::TableForm::Hex);
    if (!text) __builtin_trap();
    setxfer::put_table_text(table, data[0] % 16, file.first(file.size() < 64 ? file.size() : 64));
    return 0;
}
