// The terminal object: frame protocol, identification and the command set.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

#include "link/bulk_send.h"
#include "link/com_port.h"
#include "link/dev_info.h"
#include "link/host.h"
#include "link/tcp_port.h"

// A font library as handed to SendFontData.
struct CFontData {
    int width = 0;
    int height = 0;
    const uint8_t *data = nullptr;
    qint64 size = 0;
};

enum : int { TOUCH_CALIBRATE = 1, TOUCH_EXPERIENCE = 2, TOUCH_STOP = 3 };

class CMyTerminal {
public:
    enum : int { FRAME_SIZE = 2000, MAX_PAYLOAD = 1992, MAX_TEXT_CHARS = 1023 };

    CMyTerminal();
    ~CMyTerminal();
    CMyTerminal(const CMyTerminal &) = delete;
    CMyTerminal &operator=(const CMyTerminal &) = delete;

    // --- Port and hosts ---
    CMyComPort &Port() { return m_port; }
    CMyTcpPort &TcpPort() { return m_tcp; }
    // The port that a name opens: the network port for tcp://, else the
    // serial port.
    CPortTransport &PortFor(const QString &name);
    // The port in use: the network port while it is open, else the serial port.
    CPortTransport &LinePort();
    const CPortTransport &LinePort() const;
    // Whether the connection runs over a network bridge.
    bool IsNetworkLink() const { return !m_transport && m_tcp.IsOpen(); }
    // The channel in use: the open port unless a test put another behind it.
    CTransport &Link() { return m_transport ? *m_transport : LinePort(); }
    void SetTransport(CTransport *transport) { m_transport = transport; }
    bool IsConnected() const { return m_transport ? m_transport->IsOpen() : LinePort().IsOpen(); }
    // Closes whichever port is open.
    void ClosePort();

    void SetTrafficSink(CTrafficSink *sink) { m_traffic = sink; }
    CTrafficSink *TrafficSink() const { return m_traffic; }
    void SetBulkHost(CBulkHost *host) { m_bulkHost = host; }
    void SetStatusSink(CStatusSink *sink) { m_status = sink; }
    CStatusSink *StatusSink() const { return m_status; }
    // Called when a read or write fails because the line itself has gone (a
    // pulled adapter, a closed pseudo-terminal, a network connection reset),
    // on the thread that ran the command; the port is left as it is.
    void SetLineLostHook(std::function<void()> hook) { m_lineLost = std::move(hook); }
    // Whether an error number of the port means that the line has gone.
    static bool IsLineGoneError(uint32_t error);

    CDevInfo &Info() { return m_info; }
    const CDevInfo &Info() const { return m_info; }
    bool IsModeCapable() const { return IsConnected() && m_info.ModeCapable(); }
    bool IsMode0() const { return IsConnected() && m_info.ModeByte() == 0x00; }
    bool IsMode1() const { return IsConnected() && m_info.ModeByte() == 0xFF; }

    // --- Frame protocol ---
    int trafficSwitch = 1;
    int readTries = 80;
    int readInterval = 200;
    uint16_t commandCode = 0;
    uint16_t payloadLength = 0;
    uint8_t frame[FRAME_SIZE] = {};
    uint8_t *Payload() { return frame + 4; }

    // Builds and writes the frame (reported to the traffic sink first).
    bool SendFrame();
    // Fills code, payload and length, then SendFrame.
    bool SendCommand(uint8_t code, const uint8_t *payload, int length);
    // One reply byte within readTries x readInterval; returns 0 or 1.
    int ReadByte(uint8_t *out);
    // Reads a byte and accepts it only when it equals expected; an accepted
    // byte is reported as received.
    bool ExpectAck(uint8_t expected);
    // Short identification reply (2 or 3 bytes): returns the count read.
    int ReadShortReply(uint8_t reply[3]);
    // Long reply (0xFA, length, text): the text bytes, or false.
    bool ReadLongReply(QByteArray *text);
    void Notify(int direction, int count, const uint8_t *bytes);
    // Tells the traffic sink that a connection attempt opened the port.
    void NotifyLinkOpened();

    // --- Identification ---
    void ResetInfo() { m_info.ResetInfo(); }
    // An identification reply cut short (one byte of a handshake) since
    // ClearPartialReply: the bytes that did come, for telling "answered
    // incompletely" from "does not answer".
    const QByteArray &PartialReply() const { return m_partialReply; }
    void ClearPartialReply() { m_partialReply.clear(); }
    // Whether the last acknowledgement awaited was a wrong byte (which the
    // traffic log does not show, as it is not accepted).
    bool ReplyRejected() const { return m_replyRejected; }
    bool Identify();
    bool QueryDeviceInfo();
    bool Handshake();
    // Parses a device-info text into the info (after ResetInfo).
    bool ParseDeviceInfo(const QString &text);

    // --- Command set ---
    bool CmdClearScreen();
    bool CmdBacklightOff();
    bool CmdBacklightOn();
    bool CmdSetBrightness(int level);
    bool CmdSetColors(uint32_t foreground, uint32_t background);  // 0x00BBGGRR
    bool CmdShowText(int x, int y, int fontWidth, int fontHeight, const QString &text);
    bool CmdSetMode(int mode);
    bool CmdSetTerminalBaud(int rate);
    bool CmdSaveScreen(int slot);
    // The show and save commands carry a slot in one byte, and the terminal
    // confirms a send-and-save with the slot's low byte: a slot above 255
    // is refused with a status message before anything is sent.
    enum : int { MAX_WIRE_SLOT = 255 };
    bool CheckWireSlot(int slot);
    bool CmdShowPicture(int slot);
    // data is swapped in place for 16-bit terminals.
    bool SendPictureData(uint8_t *data, int size, int slot);
    bool SendFontData(const CFontData &font);
    bool CmdTouch(int kind);
    // Composites: the blank screen overwrites the slot(s).
    bool DeletePicture(int slot);
    bool DeleteAllPictures();

    // Through the bulk host (or plainly when none is set).
    int BulkSend(const uint8_t *data, int total, int target);

    static uint16_t ToRgb565(uint32_t colorBgr);
    // Swaps the two bytes of every 16-bit pixel in place (size rounded down to even).
    static void SwapPixelBytes(uint8_t *data, int size);
    static int TextFontCode(int fontWidth, int fontHeight);  // 0 when unknown

private:
    bool WaitAndRead(uint8_t *buf, int want, int budgetMs, int *got,
                     bool (*done)(const uint8_t *, int) = nullptr);
    // After a failed read or write: calls the line-lost hook when the
    // channel's error says that the line has gone.
    void CheckLineLost();

    CMyComPort m_port;
    CMyTcpPort m_tcp;
    CTransport *m_transport = nullptr;
    CDevInfo m_info;
    QByteArray m_partialReply;
    bool m_replyRejected = false;
    CTrafficSink *m_traffic = nullptr;
    CBulkHost *m_bulkHost = nullptr;
    CStatusSink *m_status = nullptr;
    std::function<void()> m_lineLost;
};
