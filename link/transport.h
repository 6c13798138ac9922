// The byte channel beneath the terminal object. CMyComPort is the termios
// implementation, CMyTcpPort the raw TCP one (a serial line behind a network
// bridge); tests put scripted peers or pseudo-terminals behind it.
#pragma once

#include <QString>
#include <cstdint>

// Error numbers kept in the last-error field where the program quotes them.
enum : uint32_t {
    QEL_ERROR_SUCCESS = 0,
    QEL_ERROR_ALREADY_OPEN = 5,
    QEL_ERROR_INVALID_ARGUMENT = 87,
};

// PurgeComm-style flags.
enum : int {
    QEL_PURGE_TXABORT = 0x1,
    QEL_PURGE_RXABORT = 0x2,
    QEL_PURGE_TXCLEAR = 0x4,
    QEL_PURGE_RXCLEAR = 0x8,
};

class CTransport {
public:
    virtual ~CTransport() = default;

    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;

    // Writes size bytes in one synchronous call. *written gets the count
    // actually written; success only when all were written.
    virtual bool Write(const uint8_t *data, int size, int *written) = 0;
    // Reads what has arrived, at most size bytes, without waiting.
    // Success with *got == 0 when nothing is there; failure on an error.
    virtual bool Read(uint8_t *data, int size, int *got) = 0;
    // Waits at most timeoutMs for input (or an error) to become readable.
    // Returns true when a Read would not block.
    virtual bool WaitReadable(int timeoutMs) = 0;
    // Discards buffered input and/or output (QEL_PURGE_* flags).
    virtual bool Purge(int flags) = 0;
    // Waits until written bytes have left (FlushFileBuffers).
    virtual bool Drain() = 0;
    // Line rate of the PC side; 0 when it cannot be read.
    virtual int GetPortBaud() = 0;
    virtual bool SetPortBaud(int baud) = 0;

    virtual uint32_t GetLastError() const = 0;
    virtual void SetLastError(uint32_t error) = 0;
};

// A transport opened by its port name that takes the serial line settings:
// the termios port, or the network port that stands for a bridged line.
class CPortTransport : public CTransport {
public:
    // 5 when already open, 87 for an empty or malformed name.
    virtual bool Open(const QString &name) = 0;
    // 8N1 without flow control at the rate.
    virtual bool SetLine(int baud) = 0;
    // Reads return at once with what has arrived.
    virtual bool SetReadTimeouts() = 0;
    virtual bool ClearErrors() = 0;
    // The name passed to the last Open.
    virtual const QString &GetPortName() const = 0;
};
