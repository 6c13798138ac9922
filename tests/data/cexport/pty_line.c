#define _POSIX_C_SOURCE 200809L

#include "pty_line.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>

int pty_line_open(struct pty_line *line, const char *path, const char *capture)
{
    struct termios t;
    line->failed = 0;
    line->capture = NULL;
    line->fd = open(path, O_RDWR | O_NOCTTY);
    if (line->fd < 0) {
        return -1;
    }
    if (tcgetattr(line->fd, &t) != 0) {
        close(line->fd);
        return -1;
    }
    t.c_iflag &= ~(tcflag_t)(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    t.c_oflag &= ~(tcflag_t)OPOST;
    t.c_lflag &= ~(tcflag_t)(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(tcflag_t)(CSIZE | PARENB | CSTOPB);
    t.c_cflag |= (tcflag_t)(CS8 | CREAD | CLOCAL);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (cfsetispeed(&t, B115200) != 0 || cfsetospeed(&t, B115200) != 0 || tcsetattr(line->fd, TCSANOW, &t) != 0) {
        close(line->fd);
        return -1;
    }
    tcflush(line->fd, TCIOFLUSH);
    if (capture != NULL) {
        line->capture = fopen(capture, "wb");
        if (line->capture == NULL) {
            close(line->fd);
            return -1;
        }
    }
    return 0;
}

int pty_line_close(struct pty_line *line)
{
    tcdrain(line->fd);
    close(line->fd);
    if (line->capture != NULL && fclose(line->capture) != 0) {
        line->failed = 1;
    }
    return line->failed ? -1 : 0;
}

void pty_line_write(void *ctx, const uint8_t *data, size_t len)
{
    struct pty_line *line = (struct pty_line *)ctx;
    size_t done = 0;
    if (line->capture != NULL && fwrite(data, 1, len, line->capture) != len) {
        line->failed = 1;
    }
    while (done < len) {
        const ssize_t n = write(line->fd, data + done, len - done);
        if (n > 0) {
            done += (size_t)n;
        } else if (n < 0 && errno == EAGAIN) {
            struct pollfd p;
            p.fd = line->fd;
            p.events = POLLOUT;
            p.revents = 0;
            poll(&p, 1, 100);
        } else if (!(n < 0 && errno == EINTR)) {
            line->failed = 1;
            return;
        }
    }
}

int pty_line_read(void *ctx, uint8_t *byte, uint32_t timeout_ms)
{
    struct pty_line *line = (struct pty_line *)ctx;
    struct pollfd p;
    p.fd = line->fd;
    p.events = POLLIN;
    p.revents = 0;
    if (poll(&p, 1, (int)timeout_ms) <= 0 || !(p.revents & POLLIN)) {
        return 0;
    }
    return read(line->fd, byte, 1) == 1 ? 1 : 0;
}

static int hex_digit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

int pty_line_unhex(const char *hex, char *buf, size_t size)
{
    size_t n = 0;
    while (hex[0] != 0) {
        const int hi = hex_digit(hex[0]);
        const int lo = hex[1] != 0 ? hex_digit(hex[1]) : -1;
        if (hi < 0 || lo < 0 || n + 1 >= size) {
            return -1;
        }
        buf[n++] = (char)(hi * 16 + lo);
        hex += 2;
    }
    buf[n] = 0;
    return 0;
}
