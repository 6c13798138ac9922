// Runs the example sketch once: setup(), then one pass of loop(), on the
// line named by the first argument (no waiting in delay()).
#include "Arduino.h"

#include <time.h>

extern "C" {
#include "pty_line.h"
}

void setup();
void loop();

static pty_line g_line;
MockSerial Serial1;

void MockSerial::begin(unsigned long) {}

size_t MockSerial::write(const uint8_t *data, size_t len)
{
    pty_line_write(&g_line, data, len);
    return len;
}

int MockSerial::read()
{
    uint8_t byte = 0;
    return pty_line_read(&g_line, &byte, 1) == 1 ? byte : -1;
}

unsigned long millis()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<unsigned long>(t.tv_sec) * 1000UL + static_cast<unsigned long>(t.tv_nsec / 1000000L);
}

void delay(unsigned long) {}

int main(int argc, char **argv)
{
    if (argc < 2 || pty_line_open(&g_line, argv[1], argc > 2 ? argv[2] : nullptr) != 0)
        return 2;
    setup();
    loop();
    return pty_line_close(&g_line) == 0 ? 0 : 1;
}
