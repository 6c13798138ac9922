#include "sim_engine.h"

#include "line_rate.h"
#include "sim_text.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace qelsim
{
namespace
{

constexpr int kFontIdleMs = 200;     // a font block ends when the line is idle this long
constexpr int kAbandonIdleMs = 5000; // an unfinished block is dropped after this silence

void SleepMs(long long ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SleepUs(long long us)
{
    if (us > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(us));
}

bool SaveImageAtomically(const QImage &image, const QString &path)
{
    const QString tmp = path + QStringLiteral(".tmp.png");
    if (!image.convertToFormat(QImage::Format_RGB888).save(tmp, "PNG"))
        return false;
    return ::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(path).constData()) == 0;
}

} // namespace

CSimEngine::CSimEngine(const SimConfig &config, CPtyPort *port, int signalFd, CTcpLine *tcp)
    : config_(config), port_(port), tcp_(tcp), signalFd_(signalFd), model_(config)
{
}

CSimEngine::~CSimEngine()
{
    Stop();
    for (int fd : control_)
        if (fd >= 0)
            ::close(fd);
}

bool CSimEngine::Prepare(QString *error)
{
    if (!config_.logFile.isEmpty() && !log_.Open(config_.logFile, error))
        return false;
    if (!config_.slotsDir.isEmpty()) {
        QDir dir(config_.slotsDir);
        if (!dir.exists() && !QDir().mkpath(config_.slotsDir)) {
            *error = Tx(T_SLOTS_DIR_FAILED).arg(config_.slotsDir);
            return false;
        }
        const QRegularExpression re(QStringLiteral("^slot-(\\d{1,5})\\.png$"));
        for (const QString &file : dir.entryList({QStringLiteral("slot-*.png")}, QDir::Files)) {
            const auto m = re.match(file);
            if (!m.hasMatch())
                continue;
            const QImage image(dir.filePath(file));
            if (image.isNull() || !model_.LoadSlot(m.captured(1).toInt(), image))
                fprintf(stderr, "qelsim: %s\n", qPrintable(Tx(T_SLOT_IGNORED).arg(dir.filePath(file))));
        }
    }
    if (!config_.screenFile.isEmpty() && !SaveImageAtomically(model_.Screen(), config_.screenFile)) {
        *error = Tx(T_SCREEN_SAVE_FAILED).arg(config_.screenFile);
        return false;
    }
    return true;
}

bool CSimEngine::Start(QString *error)
{
    if (pipe2(control_, O_CLOEXEC | O_NONBLOCK) != 0) {
        *error = Tx(T_PIPE_FAILED);
        return false;
    }
    lineRate_ = SlaveLineRate(port_->MasterFd());
    running_ = true;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void CSimEngine::Stop()
{
    if (!thread_.joinable())
        return;
    const char c = 'q';
    (void)!write(control_[1], &c, 1);
    thread_.join();
}

void CSimEngine::RequestRestart()
{
    const char c = 'r';
    if (control_[1] >= 0)
        (void)!write(control_[1], &c, 1);
}

SimSnapshot CSimEngine::Snapshot()
{
    std::lock_guard<std::mutex> lock(mutex_);
    SimSnapshot s;
    s.screen = model_.Screen();
    s.backlightOn = model_.BacklightOn();
    s.brightness = model_.Brightness();
    s.baud = model_.Baud();
    s.pendingBaud = model_.PendingBaud();
    s.lineRate = lineRate_;
    s.hasModes = model_.HasModes();
    s.mode = model_.Mode();
    s.lastCommand = model_.LastCommand();
    s.note = model_.Note();
    s.hungUp = hungUp_;
    for (int i = 0; i < model_.SlotCapacity(); ++i)
        if (model_.SlotStored(i))
            s.storedSlots[i] = model_.SlotImage(i);
    return s;
}

void CSimEngine::Changed()
{
    if (onChanged)
        onChanged();
}

int CSimEngine::PollTimeout() const
{
    if (block_ == BlockState::None)
        return -1;
    const long long idle = lastActivity_.elapsed();
    const bool fontStarted = block_ == BlockState::Font && !blockData_.isEmpty();
    const long long limit = fontStarted ? kFontIdleMs : kAbandonIdleMs;
    return int(std::max<long long>(0, limit - idle));
}

void CSimEngine::Run()
{
    while (running_) {
        pollfd fds[6];
        int n = 0;
        fds[n++] = {control_[0], POLLIN, 0};
        fds[n++] = {signalFd_, POLLIN, 0};
        int watchAt = -1, masterAt = -1, listenAt = -1, clientAt = -1;
        if (!hungUp_ && port_->MasterFd() >= 0) {
            watchAt = n;
            fds[n++] = {port_->WatchFd(), POLLIN, 0};
            masterAt = n;
            fds[n++] = {port_->MasterFd(), POLLIN, 0};
        }
        if (!hungUp_ && tcp_ && tcp_->ListenFd() >= 0) {
            listenAt = n;
            fds[n++] = {tcp_->ListenFd(), POLLIN, 0};
            if (tcp_->ClientFd() >= 0) {
                clientAt = n;
                fds[n++] = {tcp_->ClientFd(), POLLIN, 0};
            }
        }
        const int r = poll(fds, nfds_t(n), PollTimeout());
        if (r < 0 && errno != EINTR)
            break;
        const auto ready = [&](int at, short events) {
            return running_ && !hungUp_ && at >= 0 && (fds[at].revents & events);
        };
        if (fds[0].revents & POLLIN)
            OnControl();
        if (running_ && (fds[1].revents & POLLIN))
            OnSignal();
        // The program closed the port: whatever was under way is over.
        if (ready(watchAt, POLLIN) && port_->HandleWatchEvents())
            LineClosed();
        if (ready(masterAt, POLLIN | POLLHUP | POLLERR))
            ReadLine(port_->MasterFd(), false);
        if (ready(listenAt, POLLIN))
            tcp_->Accept();
        if (ready(clientAt, POLLIN | POLLHUP | POLLERR) && tcp_->ClientFd() == fds[clientAt].fd)
            ReadLine(tcp_->ClientFd(), true);
        if (running_)
            CheckBlockTimeout();
    }
}

void CSimEngine::ReadLine(int fd, bool tcp)
{
    // With --pace take no more than 10 ms of line time at once.
    const int rate = std::max(1, model_.Baud());
    const int chunk = config_.pace ? std::max(1, rate / 1000) : 65536;
    QByteArray buf(chunk, Qt::Uninitialized);
    const ssize_t got = read(fd, buf.data(), size_t(chunk));
    if (got > 0) {
        OnLineData(buf.constData(), int(got), tcp);
        if (config_.pace) {
            // Keep to the line rate over the whole stream, not per read.
            if (!paceClock_.isValid() || paceClock_.nsecsElapsed() / 1000 > paceUs_ + 20000) {
                paceClock_.start();
                paceUs_ = 0;
            }
            paceUs_ += got * 10LL * 1000000LL / rate;
            SleepUs(paceUs_ - paceClock_.nsecsElapsed() / 1000);
        }
    } else if (tcp && (got == 0 || (errno != EAGAIN && errno != EINTR))) {
        // The client disconnected: the bridge waits for the next one.
        tcp_->CloseClient();
        LineClosed();
    } else if (!tcp && got < 0 && errno != EAGAIN && errno != EINTR) {
        SleepMs(20); // no reader on the slave side; wait for the next open
    }
}

void CSimEngine::LineClosed()
{
    parser_.Reset();
    if (block_ != BlockState::None)
        AbandonBlock(QStringLiteral("port closed"));
}

void CSimEngine::OnControl()
{
    char cmds[64];
    const ssize_t n = read(control_[0], cmds, sizeof cmds);
    for (ssize_t i = 0; i < n; ++i) {
        if (cmds[i] == 'q')
            running_ = false;
        else if (cmds[i] == 'r')
            Restart();
    }
}

void CSimEngine::OnSignal()
{
    signalfd_siginfo info{};
    while (read(signalFd_, &info, sizeof info) == ssize_t(sizeof info)) {
        if (info.ssi_signo == SIGHUP) {
            Restart();
        } else {
            log_.Event(QStringLiteral("exit"), QStringLiteral("signal %1").arg(info.ssi_signo));
            port_->RemoveLink();
            running_ = false;
            if (onEnd)
                onEnd(false);
            return;
        }
    }
}

void CSimEngine::OnLineData(const char *data, int size, bool tcp)
{
    // Over TCP the bridge's serial side keeps the rate it was set up with.
    int rate = config_.baud;
    if (!tcp) {
        rate = SlaveLineRate(port_->MasterFd());
        if (rate != lineRate_.exchange(rate))
            Changed();
    }
    replyTcp_ = tcp;
    if (rate != model_.Baud()) {
        // A UART at another rate sees only noise.
        parser_.Reset();
        return;
    }
    if (block_ != BlockState::None) {
        FeedBlock(QByteArray(data, size));
        return;
    }
    parser_.Append(data, size);
    ParseFrames();
}

void CSimEngine::ParseFrames()
{
    Frame frame;
    while (!hungUp_ && block_ == BlockState::None && parser_.Next(&frame)) {
        HandleFrame(frame);
        if (block_ != BlockState::None) {
            const QByteArray rest = parser_.TakeRest();
            if (!rest.isEmpty())
                FeedBlock(rest);
        }
    }
}

void CSimEngine::HandleFrame(const Frame &frame)
{
    FrameOutcome o;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        o = model_.OnFrame(frame);
    }
    QByteArray reply = o.reply;
    if (config_.faults.silent)
        reply.clear();
    else if (config_.faults.wrongAck && o.replyKind == ReplyKind::Ack && !reply.isEmpty())
        reply[0] = char(uint8_t(reply[0]) ^ 0x80);

    if (o.block != BlockKind::None) {
        if (reply.size() == 1 && uint8_t(reply[0]) == 0xFC) {
            block_ = o.block == BlockKind::Picture ? BlockState::Picture : BlockState::Font;
            blockCode_ = frame.code;
            blockSize_ = o.blockSize;
            blockData_.clear();
            if (blockSize_ > 0)
                blockData_.reserve(int(std::min<long long>(blockSize_, 64 << 20)));
            lastActivity_.start();
        } else {
            // The PC was never told to send: no block follows.
            std::lock_guard<std::mutex> lock(mutex_);
            model_.CancelBlock();
        }
    }
    if (o.screenChanged)
        SaveScreen();
    if (o.slotChanged >= 0)
        SaveSlot(o.slotChanged);
    log_.Frame(frame.code, o.name, frame.payload, reply);
    SendReply(reply);
    Changed();
}

void CSimEngine::FeedBlock(QByteArray data)
{
    lastActivity_.start();
    int take = data.size();
    if (block_ == BlockState::Picture)
        take = int(std::min<long long>(take, blockSize_ - blockData_.size()));
    if (config_.faults.hangupAfter >= 0 && blockData_.size() + take >= config_.faults.hangupAfter) {
        blockData_.append(data.constData(), int(config_.faults.hangupAfter - blockData_.size()));
        HangUp();
        return;
    }
    blockData_.append(data.constData(), take);
    if (block_ == BlockState::Picture && blockData_.size() >= blockSize_) {
        CompleteBlock();
        data.remove(0, take);
        if (!data.isEmpty()) {
            parser_.Append(data.constData(), data.size());
            ParseFrames();
        }
    }
}

void CSimEngine::CompleteBlock()
{
    BlockOutcome o;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        o = model_.OnBlock(blockData_);
    }
    QByteArray reply = o.reply;
    if (config_.faults.silent || config_.faults.noFinalAck)
        reply.clear();
    else if (config_.faults.wrongAck && !reply.isEmpty())
        reply[0] = char(uint8_t(reply[0]) ^ 0x80);
    const QString kind =
        block_ == BlockState::Picture ? QStringLiteral("picture-data") : QStringLiteral("font-data");
    block_ = BlockState::None;
    if (o.screenChanged)
        SaveScreen();
    if (o.slotChanged >= 0)
        SaveSlot(o.slotChanged);
    log_.Block(blockCode_, kind, blockData_, reply);
    blockData_.clear();
    SendReply(reply);
    Changed();
}

void CSimEngine::AbandonBlock(const QString &why)
{
    log_.Event(QStringLiteral("block-dropped"),
               QStringLiteral("%1 of %2 bytes, %3").arg(blockData_.size()).arg(blockSize_).arg(why));
    block_ = BlockState::None;
    blockData_.clear();
    std::lock_guard<std::mutex> lock(mutex_);
    model_.CancelBlock();
}

void CSimEngine::CheckBlockTimeout()
{
    if (block_ == BlockState::None || PollTimeout() > 0)
        return;
    if (block_ == BlockState::Font && !blockData_.isEmpty())
        CompleteBlock();
    else
        AbandonBlock(QStringLiteral("line idle"));
}

void CSimEngine::Restart()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        model_.Restart();
    }
    parser_.Reset();
    block_ = BlockState::None;
    blockData_.clear();
    log_.Event(QStringLiteral("restart"), QStringLiteral("baud %1").arg(model_.Baud()));
    SaveScreen();
    Changed();
}

void CSimEngine::HangUp()
{
    log_.Event(QStringLiteral("hangup"),
               QStringLiteral("after %1 bytes of a data block").arg(blockData_.size()));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        hungUp_ = true;
        model_.CancelBlock();
    }
    block_ = BlockState::None;
    blockData_.clear();
    parser_.Reset();
    port_->Close();
    if (tcp_)
        tcp_->Close();
    Changed();
    if (onEnd)
        onEnd(true);
}

void CSimEngine::SendReply(const QByteArray &bytes)
{
    if (bytes.isEmpty() || hungUp_)
        return;
    SleepMs(config_.replyDelayMs);
    const int fd = replyTcp_ ? (tcp_ ? tcp_->ClientFd() : -1) : port_->MasterFd();
    if (fd < 0)
        return; // the client has gone
    const int rate = std::max(1, model_.Baud());
    for (int i = 0; i < bytes.size();) {
        // With --pace a byte leaves no faster than the line carries it.
        const int count = config_.pace ? 1 : bytes.size() - i;
        if (config_.pace)
            SleepUs(10LL * 1000000LL / rate);
        const ssize_t n = write(fd, bytes.constData() + i, size_t(count));
        if (n > 0) {
            i += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            if (poll(&p, 1, 1000) > 0)
                continue;
        }
        break; // nobody is reading: the bytes are lost, as on a real line
    }
}

void CSimEngine::SaveScreen()
{
    if (config_.screenFile.isEmpty())
        return;
    QImage screen;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        screen = model_.Screen();
    }
    if (!SaveImageAtomically(screen, config_.screenFile))
        fprintf(stderr, "qelsim: %s\n", qPrintable(Tx(T_SCREEN_SAVE_FAILED).arg(config_.screenFile)));
}

void CSimEngine::SaveSlot(int slot)
{
    if (config_.slotsDir.isEmpty())
        return;
    QImage image;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        image = model_.SlotImage(slot);
    }
    const QString path = QDir(config_.slotsDir).filePath(QStringLiteral("slot-%1.png").arg(slot));
    if (!SaveImageAtomically(image, path))
        fprintf(stderr, "qelsim: %s\n", qPrintable(Tx(T_SLOT_SAVE_FAILED).arg(path)));
}

} // namespace qelsim
