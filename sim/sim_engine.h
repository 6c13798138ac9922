// The terminal's line side: reads the pseudo-terminal, checks the line rate,
// cuts frames and data blocks, runs them on the model, applies the injected
// faults and pacing, and writes the replies. Runs on its own thread.
#pragma once

#include "frame_parser.h"
#include "pty_port.h"
#include "sim_config.h"
#include "sim_log.h"
#include "tcp_line.h"
#include "terminal_model.h"

#include <QElapsedTimer>
#include <QImage>
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace qelsim
{

struct SimSnapshot {
    QImage screen;
    bool backlightOn = true;
    int brightness = 255;
    int baud = 0;
    int pendingBaud = 0;
    int lineRate = 0;
    bool hasModes = false;
    int mode = 0;
    QString lastCommand;
    QString note;
    bool hungUp = false;
    std::map<int, QImage> storedSlots;
};

class CSimEngine
{
  public:
    // |tcp| (may be null) is a second way in, as through a network bridge.
    CSimEngine(const SimConfig &config, CPtyPort *port, int signalFd, CTcpLine *tcp = nullptr);
    ~CSimEngine();

    // Loads saved slots and opens the log; then Start runs the line thread.
    bool Prepare(QString *error);
    bool Start(QString *error);
    // Stops the line thread (from any other thread) and waits for it.
    void Stop();
    // Power-cycles the terminal (any thread).
    void RequestRestart();
    SimSnapshot Snapshot();

    // Called on the line thread after every visible change.
    std::function<void()> onChanged;
    // Called on the line thread when the program should end (SIGINT, SIGTERM)
    // or the line was cut by the hang-up fault.
    std::function<void(bool hungUp)> onEnd;

  private:
    enum class BlockState { None, Picture, Font };

    void Run();
    void OnControl();
    void OnSignal();
    void ReadLine(int fd, bool tcp);
    void OnLineData(const char *data, int size, bool tcp);
    void LineClosed();
    void ParseFrames();
    void HandleFrame(const Frame &frame);
    void FeedBlock(QByteArray data);
    void CompleteBlock();
    void AbandonBlock(const QString &why);
    void Restart();
    void HangUp();
    void SendReply(const QByteArray &bytes);
    void SaveScreen();
    void SaveSlot(int slot);
    void Changed();
    int PollTimeout() const;
    void CheckBlockTimeout();

    SimConfig config_;
    CPtyPort *port_;
    CTcpLine *tcp_;
    bool replyTcp_ = false; // the last bytes came in over TCP: answer there
    int signalFd_;
    int control_[2] = {-1, -1};
    CTerminalModel model_;
    std::mutex mutex_; // guards model_ and hungUp_
    CFrameParser parser_;
    CSimLog log_;
    std::thread thread_;
    bool running_ = false;
    bool hungUp_ = false;
    std::atomic<int> lineRate_{0};

    BlockState block_ = BlockState::None;
    uint8_t blockCode_ = 0;
    long long blockSize_ = 0;
    QByteArray blockData_;
    QElapsedTimer lastActivity_;
    QElapsedTimer paceClock_; // --pace: line time owed since the clock started
    long long paceUs_ = 0;
};

} // namespace qelsim
