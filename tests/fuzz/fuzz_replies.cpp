// The reply readers of the terminal object (long device-information reply,
// short handshake reply, acknowledgements) fed from a scripted line: the
// input is everything the terminal answers; once it is used up the line is
// dead, so no reader waits.
#include "link/terminal.h"
#include "link/transport.h"

#include <vector>

namespace
{

class CScript : public CTransport
{
  public:
    const uint8_t *data = nullptr;
    size_t size = 0;
    size_t at = 0;

    bool IsOpen() const override { return true; }
    void Close() override {}
    bool Write(const uint8_t *, int size, int *written) override
    {
        *written = size;
        return true;
    }
    bool Read(uint8_t *out, int want, int *got) override
    {
        *got = 0;
        if (at >= size)
            return false;
        while (*got < want && at < size)
            out[(*got)++] = data[at++];
        return true;
    }
    bool WaitReadable(int) override { return true; }
    bool Purge(int) override { return true; }
    bool Drain() override { return true; }
    int GetPortBaud() override { return 115200; }
    bool SetPortBaud(int) override { return true; }
    uint32_t GetLastError() const override { return 0; }
    void SetLastError(uint32_t) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CScript script;
    script.data = data;
    script.size = size;
    CMyTerminal terminal;
    terminal.SetTransport(&script);
    terminal.readInterval = 0;
    terminal.readTries = 1;
    if (terminal.Identify()) {
        // Whatever the terminal claimed, a picture for it can be described.
        const CDevInfo &info = terminal.Info();
        if (info.width < 0 || info.height < 0 || info.maxPictures < 0)
            __builtin_trap();
    }
    terminal.readTries = 1;
    terminal.readInterval = 0;
    uint8_t reply[3] = {};
    terminal.ReadShortReply(reply);
    terminal.ExpectAck(0xFC);
    std::vector<uint8_t> block(64, 0x5A);
    terminal.SendPictureData(block.data(), static_cast<int>(block.size()), 1);
    return 0;
}
