// termios2 lives in <asm/termbits.h>, which cannot share a translation unit
// with <termios.h>; this file keeps it apart.
#include "line_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace qelsim
{
namespace
{

struct StdRate {
    unsigned code;
    int rate;
};

const StdRate kStdRates[] = {
    {B50, 50},         {B75, 75},         {B110, 110},         {B134, 134},       {B150, 150},
    {B200, 200},       {B300, 300},       {B600, 600},         {B1200, 1200},     {B1800, 1800},
    {B2400, 2400},     {B4800, 4800},     {B9600, 9600},       {B19200, 19200},   {B38400, 38400},
    {B57600, 57600},   {B115200, 115200}, {B230400, 230400},   {B460800, 460800}, {B500000, 500000},
    {B576000, 576000}, {B921600, 921600}, {B1000000, 1000000},
};

} // namespace

int SlaveLineRate(int masterFd)
{
    struct termios2 t {
    };
    // On a pty master the terminal ioctls act on the linked slave.
    if (ioctl(masterFd, TCGETS2, &t) != 0)
        return -1;
    if ((t.c_cflag & CBAUD) == BOTHER || t.c_ospeed != 0)
        return int(t.c_ospeed);
    for (const StdRate &r : kStdRates)
        if ((t.c_cflag & CBAUD) == r.code)
            return r.rate;
    return 0;
}

bool SetSlaveRaw(int slaveFd, int rate)
{
    struct termios2 t {
    };
    if (ioctl(slaveFd, TCGETS2, &t) != 0)
        return false;
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= CS8 | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = unsigned(rate);
    t.c_ospeed = unsigned(rate);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return ioctl(slaveFd, TCSETS2, &t) == 0;
}

} // namespace qelsim
