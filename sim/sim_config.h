// Settings of one virtual terminal, fixed at start-up from the command line.
#pragma once

#include <QString>
#include <QStringList>

namespace qelsim
{

enum class Profile { Info, Handshake3, Handshake2 };

struct SimFaults {
    bool silent = false;        // never answers
    bool wrongAck = false;      // every acknowledgement byte is altered
    bool noFinalAck = false;    // data blocks are taken but never acknowledged
    bool shortInfo = false;     // device-info reply cut short
    bool crlf = false;          // device-info lines end in CR LF
    long long hangupAfter = -1; // close the line after this many block bytes
};

struct SimConfig {
    Profile profile = Profile::Info;
    int width = 480;
    int height = 272;
    int bpp = 16;
    int slotCount = 50; // slot count of the info profile and of handshake2
    int baud = 115200;
    int maxBaud = 115200;
    int versionMajor = 1;
    int versionMinor = 0;
    int delayMs = -1;  // DelayTime line, -1: not reported
    int hardFont = 0; // HardFont line (always reported: fonts can be downloaded by default)
    int mode = 0;      // handshake3: initial working mode
    QString name = QStringLiteral("sim");
    QString linkPath; // empty: the virtual port folder
    QString tcpListen; // "PORT" or "HOST:PORT": also listen on TCP; empty: no
    int replyDelayMs = 2;
    bool pace = false;
    bool headless = false;
    QString logFile;
    QString screenFile;
    QString slotsDir;
    SimFaults faults;
};

// Parses the command line. Returns false with a message in |error| on bad
// input; sets |helpText| instead when help was asked for.
bool ParseCommandLine(const QStringList &args, SimConfig *config, QString *error, QString *helpText);

// The terminal's baud codes.
int BaudCodeForRate(int rate); // -1 when the rate has no code
int RateForBaudCode(int code); // 0 when the code is unknown
bool IsTableRate(int rate);

} // namespace qelsim
