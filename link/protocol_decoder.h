// Protocol decoder for the communication log: a short description of every
// frame the program sends and every reply it accepts. One table row per
// command code names the command, its payload fields and the replies it
// expects; one formatter per field kind turns bytes into text. Unknown codes
// and malformed frames are described as such; nothing here throws.
#pragma once

#include <QString>
#include <cstdint>

// What the decoder says about one frame or reply.
struct CDescription {
    QString text;
    // The bytes are not what the protocol has (bad frame, unknown code,
    // unexpected reply).
    bool malformed = false;
    // Colours the frame carries, as 0xRRGGBB (foreground first).
    int colorCount = 0;
    uint32_t colors[2] = {};
};

// Describes frames and replies in the order they travel: a reply is read in
// the light of the last frame sent (which acknowledgement comes next, which
// payload byte is echoed).
class CProtocolDecoder {
public:
    CProtocolDecoder();
    // Forgets the last frame (a new connection began).
    void Reset();
    // A frame written by the program (FD, code, length, payload, trailer).
    CDescription DescribeSent(const uint8_t *bytes, int count);
    // Bytes accepted from the terminal.
    CDescription DescribeReceived(const uint8_t *bytes, int count);

    // Number of rows of the command table, and the code of row i (for the
    // table's self-test).
    static int CommandRowCount();
    static int CommandRowCode(int row);

    struct Row;

private:
    const Row *m_row = nullptr;  // last frame sent, null when none or not understood
    uint8_t m_payload[8] = {};   // its first payload bytes (echoed values)
    int m_replies = 0;           // replies read since it was sent
};

// "#RRGGBB" of an RGB565 value, each channel widened to 8 bits.
uint32_t Rgb565ToRgb(uint16_t value);
