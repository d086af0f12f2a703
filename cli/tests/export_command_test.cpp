// `zamvex export` as a user runs it: the file and the summary, the options,
// and the mistakes that stop it before anything is written; and the outputs
// that export and convert name by themselves beside the buffer.
#include <gtest/gtest.h>

#include <filesystem>

#include "frame_words.h"
#include "process_util.h"
#include "sample_conversations.h"
#include "testing/temp_dir.h"

using cli_test::zamvex;

namespace {

std::string lapd_buffer(testing_util::TempDir& dir) {
    std::string buffer = dir.file("buffer");
    std::filesystem::create_directory(buffer);
    textlib_test::WriteBuffer(buffer, textlib_test::HdlcBody(), textlib_test::Q931Call());
    return buffer;
}

}  // namespace

TEST(ExportCommand, WritesTheFileAndSummarises) {
    testing_util::TempDir dir;
    const std::string buffer = lapd_buffer(dir), out = dir.file("call.pcapng");
    auto r = zamvex({"export", buffer, "--pcapng", out, "--frame", "lapd", "--date", "2026-03-14"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "19 frames written to " + out +
                         " (link type 203)\n"
                         "  SD 9, RD 10, no direction 0\n"
                         "  errors: 1 bad FCS, 0 short, 0 aborted or broken\n"
                         "  lost data: 0 marks\n"
                         "  times: time of day on the measurement's date\n");
    EXPECT_GT(std::filesystem::file_size(out), 19u * 32u);

    r = zamvex({"export", buffer, "--pcapng", out, "--line", "sd", "--start", "1", "--blocks", "1"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "9 frames written to " + out + " (link type 252)");
    r = zamvex({"export", buffer, "--pcapng", out, "--link-type", "user0"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "19 frames written to " + out + " (link type 147)");
}

TEST(ExportCommand, MistakesExitWithTheReason) {
    testing_util::TempDir dir;
    const std::string buffer = lapd_buffer(dir), out = dir.file("x.pcapng");
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {{"export", "--pcapng", out}, 2, "name one buffer folder or data file"},
        {{"export", buffer, "--pcapng", out, "--frame", "hdlc"}, 2, "bad value for --frame: 'hdlc'"},
        {{"export", buffer, "--pcapng", out, "--line", "both"}, 2, "bad value for --line: 'both'"},
        {{"export", buffer, "--pcapng", out, "--link-type", "lapb"}, 2, "bad value for --link-type: 'lapb'"},
        {{"export", buffer, "--pcapng", out, "--date", "2026-02-30"}, 2, "bad value for --date: '2026-02-30'"},
        {{"export", buffer, "--pcapng", out, "--blocks", "0"}, 2, "bad value for --blocks: '0'"},
        {{"export", buffer, "--pcapng", out, "--start", "3"},
         1,
         "--start 3 is past the last block: the buffer holds 1 block"},
        {{"export", dir.file("none"), "--pcapng", out}, 1, "cannot open the buffer"},
    };
    for (const Case& c : cases) {
        auto r = zamvex(c.args);
        EXPECT_EQ(r.exit_code, c.code) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.message;
    }
}

TEST(ExportCommand, WithoutPcapngWritesBesideTheBufferAndReplacesOnlyWithForce) {
    testing_util::TempDir dir;
    const std::string buffer = lapd_buffer(dir), out = dir.file("buffer.pcapng");
    auto r = zamvex({"export", buffer + "/"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "19 frames written to " + out + " (link type 252)");
    const auto first = std::filesystem::last_write_time(out);

    r = zamvex({"export", buffer});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err,
              "zamvex export: '" + out + "' exists: add --force to replace it, or name another file with --pcapng\n");
    EXPECT_EQ(std::filesystem::last_write_time(out), first);

    r = zamvex({"export", buffer, "--force", "--line", "sd"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "9 frames written to " + out + " (link type 252)");
}

TEST(ConvertCommand, WithoutOutWritesIntoANewFolderBesideTheBuffer) {
    testing_util::TempDir dir;
    const std::string buffer = lapd_buffer(dir);
    const auto convert = [&] { return zamvex({"convert", buffer, "--prefix", "t_"}); };
    auto r = convert();
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "1 file written to " + buffer + "-text: t_00000000.txt\n");
    // Taken (by the first run, or by a folder the user made): the next free name.
    std::filesystem::create_directory(buffer + "-text-2");
    testing_util::write_file(buffer + "-text-2/keep.txt", std::string("mine"));
    r = convert();
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "1 file written to " + buffer + "-text-3: t_00000000.txt\n");
    EXPECT_EQ(cli_test::read_text(buffer + "-text-2/keep.txt"), "mine");
    EXPECT_FALSE(std::filesystem::exists(buffer + "-text-2/t_00000000.txt"));
    // A job that writes nothing leaves no folder.
    r = zamvex({"convert", dir.file("none")});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none-text")));
}
