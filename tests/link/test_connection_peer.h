// A terminal played on the master side of a pseudo-terminal: it answers the
// device-info query only when the program's line rate equals its own, and
// records every frame it saw with the line rate at that moment.
#pragma once

#include <QByteArray>
#include <atomic>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

class CTerminalPeer {
public:
    struct Seen {
        int code;
        int rate;
    };
    // answerRate 0: never answers.
    CTerminalPeer(int masterFd, int answerRate, const QByteArray &infoText);
    ~CTerminalPeer();
    CTerminalPeer(const CTerminalPeer &) = delete;
    CTerminalPeer &operator=(const CTerminalPeer &) = delete;

    std::vector<Seen> Frames();
    // Line rates of the device-info queries, in order.
    std::vector<int> QueryRates();

private:
    void Run();
    void Handle(std::vector<uint8_t> &buffer);

    int m_fd;
    int m_answerRate;
    QByteArray m_text;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<Seen> m_seen;
    std::thread m_thread;
};

// Output rate the program set on the slave, read through the master.
int PeerLineRate(int masterFd);
