/* The line of the generated code's test programs: a serial device (the
 * virtual terminal's pseudo-terminal) in raw 8N1 at 115200 baud, as the
 * controller's UART would be, with write and read functions of the kinds
 * the generated code takes. Every byte written is also appended to a
 * capture file, so a test can compare what went out byte for byte. */
#ifndef PTY_LINE_H
#define PTY_LINE_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

struct pty_line {
    int fd;
    FILE *capture;
    int failed; /* a write did not go out whole */
};

/* 0 on success. capture may be NULL. */
int pty_line_open(struct pty_line *line, const char *path, const char *capture);
/* Waits until everything written has gone out, then closes; 0 when every write went out whole. */
int pty_line_close(struct pty_line *line);
void pty_line_write(void *ctx, const uint8_t *data, size_t len);
int pty_line_read(void *ctx, uint8_t *byte, uint32_t timeout_ms);
/* A value given as hexadecimal digits (GBK bytes cannot pass through a
 * command line unchanged) into buf as a zero-terminated string; 0 on success. */
int pty_line_unhex(const char *hex, char *buf, size_t size);

#endif
