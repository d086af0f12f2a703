// Property tests: random bodies written as a settings file and read back into other
// random bytes give back every byte the file carries and leave every other byte alone.
#include <gtest/gtest.h>

#include <string>

#include "random_bodies.h"
#include "setxfer/settings_file.h"

using namespace setxfer;
using setxfer_test::Marked;

namespace {

std::span<const std::uint8_t> bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// Carried bytes equal the original, all others keep what the target held before.
::testing::AssertionResult same_where_carried(const Marked& original, const std::vector<std::uint8_t>& before,
                                              const std::vector<std::uint8_t>& after) {
    for (std::size_t i = 0; i < after.size(); ++i) {
        std::uint8_t want = original.carried[i] ? original.bytes[i] : before[i];
        if (after[i] != want)
            return ::testing::AssertionFailure()
                   << "byte " << i << (original.carried[i] ? " (carried)" : " (not carried)") << ": got "
                   << int(after[i]) << ", want " << int(want);
    }
    return ::testing::AssertionSuccess();
}

struct Case {
    Model model;
    int type;
    TableForm form;
};

class RoundTrip : public ::testing::TestWithParam<Case> {};

TEST_P(RoundTrip, RandomBodiesReadBackExactly) {
    const Case c = GetParam();
    std::mt19937 rng(1234u + static_cast<unsigned>(c.model) * 7 + static_cast<unsigned>(c.type) * 3 +
                     static_cast<unsigned>(c.form));
    for (int round = 0; round < 60; ++round) {
        Marked setup = setxfer_test::random_setup(c.model, rng);
        Marked table = setxfer_test::random_table(rng);
        Marked program = setxfer_test::random_program(rng);
        auto file = write_settings_file({setup.bytes, table.bytes, program.bytes}, c.model, c.type, c.form);
        ASSERT_TRUE(file);

        auto s2 = setxfer_test::random_marked(SetupSize, rng).bytes, s_before = s2;
        auto t2 = setxfer_test::random_marked(TableCapacity, rng).bytes, t_before = t2;
        auto p2 = setxfer_test::random_marked(ProgramSize, rng).bytes, p_before = p2;
        auto failure = read_settings_file(bytes(*file), c.model, c.type, {s2, t2, p2});
        ASSERT_FALSE(failure) << "round " << round << ":\n" << *file;
        ASSERT_TRUE(same_where_carried(setup, s_before, s2)) << "setup, round " << round << ":\n" << *file;
        if (c.type >= 1) ASSERT_TRUE(same_where_carried(table, t_before, t2)) << "table, round " << round;
        else ASSERT_EQ(t2, t_before);
        if (c.type >= 2) ASSERT_TRUE(same_where_carried(program, p_before, p2)) << "program, round " << round;
        else ASSERT_EQ(p2, p_before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Models, RoundTrip,
    ::testing::Values(Case{Model::RV7010, 0, TableForm::Hex}, Case{Model::RV7020, 0, TableForm::Hex},
                      Case{Model::RV7030, 0, TableForm::Hex}, Case{Model::RV7010, 1, TableForm::Character},
                      Case{Model::RV7020, 1, TableForm::Hex}, Case{Model::RV7030, 2, TableForm::Hex},
                      Case{Model::RV7030, 2, TableForm::Character}));

}  // namespace
