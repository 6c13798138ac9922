// Just enough of the Arduino core for the exported example sketch to compile
// and run on the test machine: Serial1 is the virtual terminal's line.
#ifndef ARDUINO_H
#define ARDUINO_H

#include <stddef.h>
#include <stdint.h>

class MockSerial {
public:
    void begin(unsigned long baud);
    size_t write(const uint8_t *data, size_t len);
    int read();
};

extern MockSerial Serial1;
unsigned long millis();
void delay(unsigned long ms);

#endif
