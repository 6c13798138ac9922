// The terminal itself: framebuffer, colours, backlight, picture slots and the
// execution of every command. No I/O here: the engine feeds frames and data
// blocks in and sends out the replies this model decides on.
#pragma once

#include "frame_parser.h"
#include "sim_config.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <map>

namespace qelsim
{

enum class ReplyKind { None, Ident, Ack };
enum class BlockKind { None, Picture, Font };

struct FrameOutcome {
    QString name;     // command name for the log
    QString label;    // what the window shows as the last command
    QByteArray reply; // bytes to send now
    ReplyKind replyKind = ReplyKind::None;
    BlockKind block = BlockKind::None; // a data block follows the reply
    long long blockSize = 0;           // pictures: exact byte count; fonts: ends when idle
    bool screenChanged = false;
    int slotChanged = -1;
};

struct BlockOutcome {
    QString name;
    QByteArray reply; // the closing acknowledgement
    bool screenChanged = false;
    int slotChanged = -1;
};

class CTerminalModel
{
  public:
    explicit CTerminalModel(const SimConfig &config);

    FrameOutcome OnFrame(const Frame &frame);
    // Completes the data block announced by the last frame.
    BlockOutcome OnBlock(const QByteArray &data);
    // Drops the announced data block (never sent, or abandoned).
    void CancelBlock() { pending_ = Pending(); }
    bool BlockPending() const { return pending_.kind != BlockKind::None; }

    // Power cycle: the terminal adopts a baud rate set since the last start,
    // clears its screen and resets colours and backlight. Slots and mode stay.
    void Restart();

    int Baud() const { return baud_; }
    int PendingBaud() const { return pendingBaud_; }
    int Mode() const { return mode_; }
    bool HasModes() const { return config_.profile == Profile::Handshake3; }
    int SlotCount() const;
    int SlotCapacity() const { return config_.slotCount; }
    const QImage &Screen() const { return screen_; }
    QImage SlotImage(int slot) const;
    bool SlotStored(int slot) const { return slots_.count(slot) != 0; }
    // Puts a previously saved slot picture back (start-up); false on size mismatch.
    bool LoadSlot(int slot, const QImage &image);
    bool BacklightOn() const { return backlightOn_; }
    int Brightness() const { return brightness_; }
    QString LastCommand() const { return lastCommand_; }
    QString Note() const { return note_; }
    uint16_t Foreground() const { return fg_; }
    uint16_t Background() const { return bg_; }

    QByteArray DeviceInfoText() const;
    static QColor ColorFrom565(uint16_t v);

  private:
    struct Pending {
        BlockKind kind = BlockKind::None;
        uint8_t code = 0;
        int slot = -1;
        int width = 0;
        int height = 0;
        QString fontName;
        int fontWidth = 0;
        int fontHeight = 0;
    };

    FrameOutcome Handshake();
    FrameOutcome DeviceInfo();
    FrameOutcome SetBaud(const QByteArray &p);
    FrameOutcome SetMode(const QByteArray &p);
    FrameOutcome Text(uint8_t code, const QByteArray &p);
    FrameOutcome FontDownload(uint8_t code, const QByteArray &p);
    FrameOutcome PictureStart(uint8_t code, const QByteArray &p);
    FrameOutcome Touch(uint8_t code, const QByteArray &p);
    void StoreSlot(int slot);
    void FillScreen(uint16_t color);
    void DrawPicture(const QByteArray &data, int width, int height);
    // Draws the text bytes of a show-text frame with the font downloaded for
    // the size, or the stand-in font for characters without a glyph.
    void DrawText(int x, int y, int cellW, int cellH, const QByteArray &bytes);
    void DrawStandInCell(int x, int y, int w, int h, const QString &ch);
    void PaintCell(int x, int y, int w, int h, const QColor &color);

    // A downloaded font library: its glyph size and the bytes as received.
    struct FontLibrary {
        int width = 0;
        int height = 0;
        QByteArray data;
    };

    SimConfig config_;
    QImage screen_;
    std::map<int, QImage> slots_;
    std::map<QString, FontLibrary> fonts_; // by "WxH"

    uint16_t fg_ = 0xFFFF;
    uint16_t bg_ = 0x0000;
    bool backlightOn_ = true;
    int brightness_ = 255;
    int baud_;
    int pendingBaud_;
    int mode_;
    bool touchActive_ = false;
    QImage beforeTouch_;
    QString lastCommand_;
    QString note_;
    Pending pending_;
};

// Decodes GBK text bytes (up to a zero byte) with ICU.
QString DecodeGbk(const QByteArray &bytes);
// Text to GBK bytes, without terminator.
QByteArray EncodeGbk(const QString &text);

} // namespace qelsim
