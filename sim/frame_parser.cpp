#include "frame_parser.h"

#include <cstring>

namespace qelsim
{

bool CFrameParser::Next(Frame *frame)
{
    static const char kTrailer[4] = {char(0xDD), char(0xCC), char(0xBB), char(0xAA)};
    int pos = 0;
    bool found = false;
    for (;;) {
        const int start = buffer_.indexOf(char(0xFD), pos);
        if (start < 0) {
            pos = buffer_.size();
            break;
        }
        pos = start;
        if (buffer_.size() - start < 4)
            break;
        const int length = (uint8_t(buffer_[start + 2]) << 8) | uint8_t(buffer_[start + 3]);
        if (length > kMaxPayload) {
            pos = start + 1; // cannot be a frame: look for the next start byte
            continue;
        }
        const int total = length + 8;
        if (buffer_.size() - start < total)
            break;
        if (memcmp(buffer_.constData() + start + 4 + length, kTrailer, 4) != 0) {
            pos = start + 1;
            continue;
        }
        frame->code = uint8_t(buffer_[start + 1]);
        frame->payload = buffer_.mid(start + 4, length);
        pos = start + total;
        found = true;
        break;
    }
    buffer_.remove(0, pos);
    return found;
}

QByteArray CFrameParser::TakeRest()
{
    QByteArray rest;
    rest.swap(buffer_);
    return rest;
}

} // namespace qelsim
