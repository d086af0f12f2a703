// What a new user meets: block ranges and what was left out, files that are
// not single data files, options the layout would ignore, settings files that
// are not settings files, screens wider than the terminal, what ended a run,
// and the ports list in both forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include "buffer_builder.h"
#include "commands/buffer_input.h"
#include "commands/convert_options.h"
#include "commands/ports_report.h"
#include "commands/screen_picture.h"
#include "commands/settings_job.h"
#include "session/interrupt.h"
#include "testing/temp_dir.h"
#include "text/messages.h"

namespace cli {
namespace {

TEST(Manners, WithoutBlocksEveryBlockFromStartUpToAJobsWorth) {
    std::string error;
    auto c = choose_blocks(3, 1, std::nullopt, error);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->blocks, 3);
    EXPECT_EQ(left_out_note(*c), "");
    c = choose_blocks(1500, 2, std::nullopt, error);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->blocks, 1024);
    EXPECT_EQ(c->left_out, 475);
    EXPECT_EQ(left_out_note(*c),
              "475 blocks after block 1025 left out (one job takes at most 1024); continue with --start 1026");
    c = choose_blocks(10, 4, 2, error);  // --blocks given: taken as it is, nothing called left out
    ASSERT_TRUE(c);
    EXPECT_EQ(c->blocks, 2);
    EXPECT_EQ(left_out_note(*c), "");
    c = choose_blocks(10, 9, 5, error);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->blocks, 2);
    EXPECT_FALSE(choose_blocks(4, 5, std::nullopt, error));
    EXPECT_EQ(error, "--start 5 is past the last block: the buffer holds 4 blocks");
    EXPECT_FALSE(choose_blocks(1, 2, 1, error));
    EXPECT_EQ(error, "--start 2 is past the last block: the buffer holds 1 block");
}

TEST(Manners, OnlyASingleDataFileIsTakenAsOne) {
    testing_util::TempDir dir;
    const std::string single = dir.file("saved.mkw");
    textlib_test::WriteSingleFile(single, textlib_test::AsyncBody(), textlib_test::SdText("hello"));
    EXPECT_EQ(single_file_problem(single), "");

    const std::string buffer = dir.file("buffer");
    std::filesystem::create_directory(buffer);
    textlib_test::WriteBuffer(buffer, textlib_test::AsyncBody(), textlib_test::SdText("hello"));
    const std::string block = single_file_problem(buffer + "/00000000.mkw");
    EXPECT_NE(block.find("is not a single data file (a block file of a PC buffer folder)"), std::string::npos) << block;
    EXPECT_NE(block.find("2038-byte information part"), std::string::npos) << block;
    EXPECT_NE(block.find("give its folder ('" + buffer + "')"), std::string::npos) << block;
    std::filesystem::resize_file(buffer + "/00000000.mkw", 1u << 20);  // a full block
    EXPECT_NE(single_file_problem(buffer + "/00000000.mkw").find("a block file"), std::string::npos);
    EXPECT_NE(single_file_problem(buffer + "/datainfo.mkw").find("the information file of a PC buffer folder"),
              std::string::npos);
    testing_util::write_file(dir.file("short"), std::string(102, '\0'));
    EXPECT_NE(single_file_problem(dir.file("short")).find("(too short)"), std::string::npos);
    EXPECT_NE(single_file_problem(dir.file("none")).find("No such file or directory"), std::string::npos);
}

std::string unused(const std::vector<std::string>& args) {
    std::string error;
    const auto parsed = parse_options(args, convert_option_specs(), error);
    EXPECT_TRUE(parsed) << error;
    const auto options = convert_options_from(*parsed, error);
    EXPECT_TRUE(options) << error;
    return unused_option(*parsed, *options);
}

TEST(Manners, OptionsTheLayoutWouldIgnoreAreNamed) {
    EXPECT_EQ(unused({"--print", "translate", "--no-time-stamps"}),
              "--no-time-stamps does nothing with --print translate; it goes with --print normal");
    EXPECT_EQ(unused({"--width", "8"}), "--width does nothing with --print normal; it goes with --format csv");
    EXPECT_EQ(unused({"--format", "csv", "--data", "hex"}),
              "--data does nothing with --format csv; it goes with --print normal");
    EXPECT_EQ(unused({"--format", "csv", "--print", "normal"}),
              "--print does nothing with --format csv; it goes with --format print");
    EXPECT_EQ(unused({"--packet", "x25"}), "--packet does nothing with --print normal; it goes with --print translate");
    EXPECT_EQ(unused({"--print", "translate", "--frame", "lapd", "--packet", "lapd", "--line", "sd", "--start", "2"}),
              "");
    EXPECT_EQ(unused({"--format", "csv", "--csv-form", "frame", "--csv-data", "hex", "--width", "8", "--delimiter", ";",
                      "--max-lines", "10", "--blocks", "3"}),
              "");
    EXPECT_EQ(unused({"--no-guide", "--no-time-stamps", "--no-idle-times", "--line-states", "RS", "--data", "hex"}),
              "");
}

TEST(Manners, ASettingsFileStartsWithAModelName) {
    EXPECT_EQ(not_a_settings_file("RV-7020\r\nA:PROGRAM\r\n"), "");
    EXPECT_EQ(not_a_settings_file(" RV-7030 \nA:PROGRAM\n"), "");
    EXPECT_EQ(not_a_settings_file("[General]\r\nPORT=COM1\r\n"),
              "not a settings file: the first line is not a model name (RV-7010, RV-7020 or RV-7030) but '[General]'");
    EXPECT_EQ(not_a_settings_file(""),
              "not a settings file: the first line is not a model name (RV-7010, RV-7020 or RV-7030) but ''");
    EXPECT_STREQ(message_text(Msg::BufferFiles), "The PC buffer files do not exist, or the data of their are wrong.");
}

TEST(Manners, AWideScreenIsScaledToTheColumns) {
    Picture p;
    p.width = 320;
    p.height = 8;
    p.grey.assign(static_cast<std::size_t>(p.width) * p.height, 255);
    for (int x = 0; x < p.width; ++x) p.grey[static_cast<std::size_t>(3) * p.width + x] = 0;  // a one-pixel line
    p.grey[319] = 0;                                                                          // and the top right pixel
    EXPECT_EQ(text_scale(320, 0), 1);
    EXPECT_EQ(text_scale(320, 320), 1);
    EXPECT_EQ(text_scale(320, 80), 4);
    EXPECT_EQ(text_scale(320, 100), 4);
    // 80 cells a line, one line for every 2 x 4 pixel rows; the thin line stays visible.
    const std::string upper = "\xE2\x96\x80", lower = "\xE2\x96\x84";
    std::string scaled;
    for (int x = 0; x < 80; ++x) scaled += upper;
    EXPECT_EQ(text_art(p, 100), scaled + "\n");
    // Unscaled: a cell for every pixel column, two pixel rows a line.
    std::string second;
    for (int x = 0; x < 320; ++x) second += lower;
    const std::string art = text_art(p);
    EXPECT_EQ(std::count(art.begin(), art.end(), '\n'), 4);
    EXPECT_NE(art.find("\n" + second + "\n"), std::string::npos);
}

TEST(Manners, WhatEndedARunIsNamedAsTheUserWouldName) {
    clear_interrupt();
    EXPECT_STREQ(interrupt_cause(), "");
    request_interrupt();
    EXPECT_STREQ(interrupt_cause(), "a stop request");
    clear_interrupt();
    catch_interrupts();
    std::raise(SIGTERM);
    EXPECT_TRUE(interrupted());
    EXPECT_STREQ(interrupt_cause(), "SIGTERM");
    clear_interrupt();
    std::raise(SIGINT);
    EXPECT_STREQ(interrupt_cause(), "Ctrl-C");
    clear_interrupt();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

std::vector<PortState> sample_ports() {
    PortState usb;
    usb.port.device = "/dev/ttyUSB0";
    usb.port.byId = {"/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0"};
    usb.port.vendorId = "0403";
    usb.port.productId = "6001";
    usb.port.manufacturer = "FTDI";
    usb.port.product = "FT232R";
    usb.port.serial = "A\"1";
    usb.holder = platform::PortHolder{4242, "capstore"};
    PortState uart;
    uart.port.device = "/dev/ttyS0";
    uart.access_problem = "you may not open it (Permission denied). Only its owner 'root' may:\n  KERNEL==\"ttyS0\"";
    uart.holder = platform::PortHolder{7, "minicom"};
    return {usb, uart};
}

TEST(Manners, PortsAreListedForPeopleAndForScripts) {
    EXPECT_EQ(ports_text(sample_ports()),
              "/dev/ttyUSB0  FTDI FT232R (USB 0403:6001, serial A\"1)\n"
              "    /dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0\n"
              "    you may open it\n"
              "    in use by capstore (pid 4242), a program of this suite\n"
              "/dev/ttyS0\n"
              "    you may not open it (Permission denied). Only its owner 'root' may:\n"
              "      KERNEL==\"ttyS0\"\n"
              "    in use by minicom (pid 7)\n");
    EXPECT_EQ(ports_json(sample_ports()),
              "[\n {\"device\": \"/dev/ttyUSB0\", \"by_id\": [\"/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0\"], "
              "\"usb\": {\"vendor_id\": \"0403\", \"product_id\": \"6001\", \"manufacturer\": \"FTDI\", \"product\": "
              "\"FT232R\", \"serial\": \"A\\\"1\"}, \"may_open\": true, \"access_problem\": null, \"held_by\": "
              "{\"pid\": 4242, \"program\": \"capstore\", \"suite\": true}},\n"
              " {\"device\": \"/dev/ttyS0\", \"by_id\": [], \"usb\": null, \"may_open\": false, \"access_problem\": "
              "\"you may not open it (Permission denied). Only its owner 'root' may:\\u000a  KERNEL==\\\"ttyS0\\\"\", "
              "\"held_by\": {\"pid\": 7, \"program\": \"minicom\", \"suite\": false}}\n"
              "]\n");
    EXPECT_EQ(ports_json({}), "[]\n");
    EXPECT_NE(ports_text({}).find("no serial ports found"), std::string::npos);
}

}  // namespace
}  // namespace cli
