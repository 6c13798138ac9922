#include "imaging/image_source.h"

#include "imaging/regular_file.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <unistd.h>

CImageSource::~CImageSource() = default;

bool CImageSource::OpenRegular(QString *error)
{
    int reason = 0;
    const int fd = OpenRegularFile(m_path, &reason);
    if (fd < 0) {
        *error = qt_error_string(reason);
        return false;
    }
    if (!open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = errorString();
        return false;
    }
    return true;
}

void CImageSource::ResetWatch()
{
    m_starved = false;
    m_cut = false;
}

qint64 CImageSource::readData(char *data, qint64 maxSize)
{
    const qint64 got = QFile::readData(data, maxSize);
    if (maxSize > 0 && got == 0)
        m_starved = true;
    else if (got >= 0 && got < maxSize)
        m_cut = true;
    return got;
}

bool CImageSource::EndedEarly(const QByteArray &format)
{
    if (format == "bmp")
        return m_starved || m_cut;
    if (format == "xbm")
        return m_starved;
    if (format == "gif") {
        // Qt's GIF decoder reads ahead and probes for a next frame, so the
        // reads say nothing; the block structure does.
        const qint64 length = size();
        const uchar *data = length > 0 ? map(0, length) : nullptr;
        const bool complete = data && GifImageComplete(data, length);
        if (data)
            unmap(const_cast<uchar *>(data));
        return !complete;
    }
    return false;
}

bool GifImageComplete(const uchar *data, qint64 size)
{
    // Header (6), screen descriptor (7), global colour table.
    if (size < 13)
        return false;
    qint64 pos = 13;
    if (data[10] & 0x80)
        pos += 3LL << ((data[10] & 7) + 1);
    // Skips a chain of sub-blocks (length byte, bytes) up to its empty one.
    const auto skipBlocks = [&]() {
        while (pos < size) {
            const int length = data[pos++];
            if (length == 0)
                return true;
            pos += length;
        }
        return false;
    };
    bool image = false;
    while (pos < size) {
        const uchar kind = data[pos];
        if (kind == 0x3B)
            return image;
        if (kind == 0x21) {
            pos += 2; // introducer, label
            if (!skipBlocks())
                return false;
        } else if (kind == 0x2C) {
            if (pos + 10 > size)
                return false;
            const uchar packed = data[pos + 9];
            pos += 10;
            if (packed & 0x80)
                pos += 3LL << ((packed & 7) + 1);
            pos += 1; // LZW minimum code size
            if (!skipBlocks())
                return false;
            image = true;
        } else {
            return image; // junk after the image data
        }
    }
    return image;
}

namespace
{

thread_local CDecoderWatch *t_watch = nullptr;
// Set right after the handler is installed; a message on another thread in
// between finds it empty and is dropped.
std::atomic<QtMessageHandler> g_previous{nullptr};
std::once_flag g_installed;

void WatchHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (t_watch && type == QtWarningMsg && CDecoderWatch::MeansDataLost(context.category, message)) {
        t_watch->MarkDataLost();
        return;
    }
    if (const QtMessageHandler previous = g_previous.load())
        previous(type, context, message);
}

} // namespace

CDecoderWatch::CDecoderWatch() : m_outer(t_watch)
{
    // Installed once for the process and chained to what was there; it acts
    // only on threads where a watch is alive.
    std::call_once(g_installed, [] { g_previous = qInstallMessageHandler(WatchHandler); });
    t_watch = this;
}

CDecoderWatch::~CDecoderWatch()
{
    t_watch = m_outer;
}

bool CDecoderWatch::MeansDataLost(const char *category, const QString &message)
{
    if (!category || std::strcmp(category, "qt.gui.imageio.jpeg") != 0)
        return false;
    return JpegMessageMeansDataLost(message);
}

bool CDecoderWatch::JpegMessageMeansDataLost(const QString &message)
{
    // "Corrupt JPEG data: N extraneous bytes before marker" only skips junk
    // between segments; the picture itself is whole.
    if (message.startsWith(QLatin1String("Corrupt JPEG data")))
        return !message.contains(QLatin1String("extraneous bytes"));
    return message.startsWith(QLatin1String("Premature end of JPEG file"));
}
