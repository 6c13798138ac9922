#include "imaging/picture_send.h"

#include "imaging/image_fit.h"
#include "imaging/pixels.h"
#include "link/terminal.h"
#include "res/strings.h"

#include <exception>
#include <vector>

namespace
{

CStatusSink *SinkOf(CMyTerminal &terminal, CStatusSink *status)
{
    return status ? status : terminal.StatusSink();
}

} // namespace

qint64 TerminalPictureBytes(const CDevInfo &info)
{
    if (info.width <= 0 || info.height <= 0 || info.bitsPerPixel <= 0)
        return 0;
    return static_cast<qint64>(info.width) * info.height * ((info.bitsPerPixel + 7) / 8);
}

bool SendPicture(CMyTerminal &terminal, const QImage &picture, const QString &path, int slot,
                 CStatusSink *status)
{
    if (picture.isNull() || !terminal.IsConnected())
        return false;

    const CDevInfo &info = terminal.Info();
    bool ok = false;
    try {
        std::vector<uint8_t> pixels;
        if (ExtractPixels(picture, picture.width(), picture.height(), info.pixelFormat, &pixels)) {
            // The terminal takes exactly one screen: a picture of any other
            // size (fitted for another terminal, or for none) is not sent.
            const qint64 expected = TerminalPictureBytes(info);
            if (expected <= 0 || static_cast<qint64>(pixels.size()) != expected || picture.width() != info.width ||
                picture.height() != info.height) {
                if (CStatusSink *sink = SinkOf(terminal, status))
                    sink->ShowStatusMessage(
                        STATUS_FAILURE, FormatStr(IDS_IMG_PICTURE_WRONG_SIZE, qUtf8Printable(path), picture.width(),
                                                  picture.height(), static_cast<int>(pixels.size()), info.width,
                                                  info.height, (info.bitsPerPixel + 7) / 8,
                                                  static_cast<int>(expected)));
                return false;
            }
            ok = terminal.SendPictureData(pixels.data(), static_cast<int>(pixels.size()), slot);
        }
    } catch (const std::exception &) {
        ok = false;
    }

    if (CStatusSink *sink = SinkOf(terminal, status)) {
        if (ok)
            sink->ShowStatusMessage(STATUS_SUCCESS, FormatStr(IDS_IMG_PICTURE_SENT, qUtf8Printable(path)));
        else
            sink->ShowStatusMessage(STATUS_FAILURE,
                                    FormatStr(IDS_IMG_PICTURE_SEND_FAILED, qUtf8Printable(path)));
    }
    return ok;
}

QImage LoadPictureForTerminal(const CMyTerminal &terminal, const QString &path, bool keepAspect,
                              uint32_t bkColor, CStatusSink *status, CDither dither)
{
    const CDevInfo &info = terminal.Info();
    QImage picture;
    try {
        picture = LoadFittedImage(path, info.width, info.height, info.pixelFormat, bkColor, keepAspect,
                                  nullptr, dither);
    } catch (const std::exception &) {
        picture = QImage();
    }
    if (picture.isNull()) {
        CStatusSink *sink = status ? status : terminal.StatusSink();
        if (sink)
            sink->ShowStatusMessage(STATUS_FAILURE,
                                    FormatStr(IDS_IMG_OPEN_PICTURE_ERROR, qUtf8Printable(path)));
    }
    return picture;
}

bool SendPictureFile(CMyTerminal &terminal, bool keepAspect, const QString &path, uint32_t bkColor, int slot,
                     CStatusSink *status, CDither dither)
{
    const QImage picture = LoadPictureForTerminal(terminal, path, keepAspect, bkColor, status, dither);
    if (picture.isNull())
        return false;
    return SendPicture(terminal, picture, path, slot, status);
}
