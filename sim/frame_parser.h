// Recognises command frames in the byte stream from the PC:
// FD, code, length (high, low), payload, DD CC BB AA. Anything else is
// skipped up to the next FD.
#pragma once

#include <QByteArray>
#include <cstdint>

namespace qelsim
{

struct Frame {
    uint8_t code = 0;
    QByteArray payload;
};

class CFrameParser
{
  public:
    static constexpr int kMaxPayload = 1992;

    void Append(const char *data, int size) { buffer_.append(data, size); }
    // Takes the next complete frame out of the buffered bytes.
    bool Next(Frame *frame);
    // Hands over the bytes not yet parsed (they belong to a data block).
    QByteArray TakeRest();
    // Forgets any partial frame.
    void Reset() { buffer_.clear(); }

  private:
    QByteArray buffer_;
};

} // namespace qelsim
