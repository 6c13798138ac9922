#include "test_connection_peer.h"

#include <asm/termbits.h>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

int PeerLineRate(int masterFd)
{
    struct termios2 t {};
    if (ioctl(masterFd, TCGETS2, &t) != 0)
        return -1;
    return static_cast<int>(t.c_ospeed);
}

CTerminalPeer::CTerminalPeer(int masterFd, int answerRate, const QByteArray &infoText)
    : m_fd(masterFd), m_answerRate(answerRate), m_text(infoText)
{
    m_thread = std::thread(&CTerminalPeer::Run, this);
}

CTerminalPeer::~CTerminalPeer()
{
    m_stop = true;
    m_thread.join();
}

std::vector<CTerminalPeer::Seen> CTerminalPeer::Frames()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_seen;
}

std::vector<int> CTerminalPeer::QueryRates()
{
    std::vector<int> rates;
    for (const Seen &s : Frames())
        if (s.code == 0x03)
            rates.push_back(s.rate);
    return rates;
}

void CTerminalPeer::Run()
{
    std::vector<uint8_t> buffer;
    while (!m_stop) {
        struct pollfd pfd {m_fd, POLLIN, 0};
        const int ready = poll(&pfd, 1, 10);
        if (ready <= 0)
            continue;
        uint8_t chunk[512];
        const ssize_t got = read(m_fd, chunk, sizeof chunk);
        if (got <= 0) {
            // The slave is closed between connection attempts.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        buffer.insert(buffer.end(), chunk, chunk + got);
        Handle(buffer);
    }
}

void CTerminalPeer::Handle(std::vector<uint8_t> &buffer)
{
    for (;;) {
        while (!buffer.empty() && buffer[0] != 0xFD)
            buffer.erase(buffer.begin());
        if (buffer.size() < 4)
            return;
        const size_t length = (size_t(buffer[2]) << 8) | buffer[3];
        if (buffer.size() < length + 8)
            return;
        const int code = buffer[1];
        buffer.erase(buffer.begin(), buffer.begin() + static_cast<long>(length + 8));
        const int rate = PeerLineRate(m_fd);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_seen.push_back({code, rate});
        }
        if (code == 0x03 && m_answerRate > 0 && rate == m_answerRate) {
            const int total = m_text.size() + 3;
            QByteArray reply;
            reply.append(char(0xFA)).append(char(total >> 8)).append(char(total & 0xFF)).append(m_text);
            if (write(m_fd, reply.constData(), static_cast<size_t>(reply.size())) != reply.size())
                return;
        }
    }
}
