// The baud rates the port accepts and their termios codes, one row per rate.
#include <termios.h>
#include <algorithm>
#include <array>

#include "platform/serial_port.h"

namespace platform {
namespace {

struct BaudRow {
    int speed;
    speed_t code;
};

constexpr std::array<BaudRow, 26> BaudRates{{
    {50, B50},           {75, B75},         {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000},
}};

constexpr bool strictlyAscending() {
    for (std::size_t i = 1; i < BaudRates.size(); ++i)
        if (BaudRates[i - 1].speed >= BaudRates[i].speed) return false;
    return true;
}
static_assert(strictlyAscending(), "baudCode searches the table by speed");

}  // namespace

speed_t baudCode(int speed) {
    auto it = std::lower_bound(BaudRates.begin(), BaudRates.end(), speed,
                               [](const BaudRow& row, int s) { return row.speed < s; });
    return it != BaudRates.end() && it->speed == speed ? it->code : 0;
}

}  // namespace platform
