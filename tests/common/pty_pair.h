// A pseudo-terminal pair for port tests: the slave is the "serial port", the
// test plays the terminal on the master.
#pragma once

#include <QString>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

struct CPtyPair {
    int master = -1;
    int slave = -1;
    QString slavePath;

    CPtyPair()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            slavePath = QString::fromLocal8Bit(name);
            struct termios tio {};
            tcgetattr(master, &tio);
            cfmakeraw(&tio);
            tcsetattr(master, TCSANOW, &tio);
        }
    }
    ~CPtyPair()
    {
        CloseMaster();
        if (slave >= 0)
            close(slave);
    }
    // Lets the port under test own the slave side: our copy is closed so that
    // only the port holds it.
    void ReleaseSlave()
    {
        if (slave >= 0)
            close(slave);
        slave = -1;
    }
    void CloseMaster()
    {
        if (master >= 0)
            close(master);
        master = -1;
    }
    bool Send(const std::vector<uint8_t> &bytes) const
    {
        return write(master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // Reads exactly n bytes from the master within timeoutMs.
    std::vector<uint8_t> Receive(size_t n, int timeoutMs = 2000) const
    {
        std::vector<uint8_t> out;
        while (out.size() < n) {
            struct pollfd pfd {master, POLLIN, 0};
            if (poll(&pfd, 1, timeoutMs) <= 0)
                break;
            uint8_t buf[4096];
            const ssize_t got = read(master, buf, std::min(sizeof buf, n - out.size()));
            if (got <= 0)
                break;
            out.insert(out.end(), buf, buf + got);
        }
        return out;
    }
};
