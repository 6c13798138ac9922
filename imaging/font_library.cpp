#include "imaging/font_library.h"

#include "imaging/regular_file.h"
#include "link/pattern.h"
#include "link/terminal.h"
#include "res/strings.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Blanks, width, blanks, one separator, blanks, height.
const char kSizePattern[] = "\\b*{\\z}\\b*x|X|_|-|&\\b*{\\z}\\b*";

CStatusSink *SinkOf(CMyTerminal &terminal, CStatusSink *status)
{
    return status ? status : terminal.StatusSink();
}

void Report(CStatusSink *status, int kind, const QString &text)
{
    if (status)
        status->ShowStatusMessage(kind, text);
}

// Reads the whole regular file into a buffer of length + 1 bytes. On failure
// returns the errno value that describes it.
int ReadWholeFile(const QString &path, std::unique_ptr<uint8_t[]> *data, qint64 *length)
{
    int error = 0;
    qint64 size = 0;
    const int fd = OpenRegularFile(path, &error, &size);
    if (fd < 0)
        return error;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (size > CFontLibrary::MAX_FILE_BYTES)
        return EFBIG;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[static_cast<size_t>(size) + 1]);
    if (!buffer)
        return ENOMEM;
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, buffer.get() + done, static_cast<size_t>(size - done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return EIO; // the file became shorter while being read
        done += got;
    }
    buffer[static_cast<size_t>(size)] = 0;
    *data = std::move(buffer);
    *length = size;
    return 0;
}

} // namespace

bool ParseFontSizeFromName(const QString &path, int *width, int *height)
{
    *width = 0;
    *height = 0;
    QStringList captures;
    if (!PatternSearch(QString::fromLatin1(kSizePattern), path, &captures) || captures.size() < 2)
        return false;
    const long long w = CaptureToInt(captures.at(0), 15);
    const long long h = CaptureToInt(captures.at(1), 15);
    // Out-of-range numbers are kept out of int without becoming valid.
    *width = static_cast<int>(std::clamp<long long>(w, 0, 1000000));
    *height = static_cast<int>(std::clamp<long long>(h, 0, 1000000));
    return IsGlyphSide(*width) && IsGlyphSide(*height);
}

int GlyphBytes(int width, int height)
{
    const long long bytes = static_cast<long long>((qMax(width, 0) + 7) / 8) * qMax(height, 0);
    return bytes < 1 ? 1 : static_cast<int>(bytes);
}

bool CFontLibrary::Open(const QString &path, int width, int height, CStatusSink *status)
{
    if (path.isEmpty())
        return false;
    if (!IsGlyphSide(width) || !IsGlyphSide(height)) {
        if (ParseFontSizeFromName(path, &width, &height)) {
            Report(status, STATUS_INFO, FormatStr(IDS_IMG_FONT_SIZE_FROM_NAME, width, height));
        } else {
            width = GLYPH_SIDE_DEFAULT;
            height = GLYPH_SIDE_DEFAULT;
            Report(status, STATUS_INFO, FormatStr(IDS_IMG_FONT_SIZE_DEFAULT, width, height));
        }
    }
    if (IsLoaded() && path == m_path && width == m_width && height == m_height)
        return true;

    Close();
    std::unique_ptr<uint8_t[]> data;
    qint64 length = 0;
    const int error = ReadWholeFile(path, &data, &length);
    if (error != 0) {
        Report(status, STATUS_FAILURE,
               FormatStr(IDS_IMG_OPEN_FONT_ERROR, qUtf8Printable(qt_error_string(error))));
        return false;
    }
    m_path = path;
    m_data = std::move(data);
    m_length = length;
    m_width = width;
    m_height = height;
    return true;
}

void CFontLibrary::Close()
{
    m_path.clear();
    m_data.reset();
    m_length = 0;
}

bool CFontLibrary::SetGlyphSize(int width, int height)
{
    if (!IsGlyphSide(width) || !IsGlyphSide(height) || (width == m_width && height == m_height))
        return false;
    m_width = width;
    m_height = height;
    return true;
}

int CFontLibrary::GlyphCount() const
{
    return static_cast<int>(m_length / GlyphBytes());
}

bool CFontLibrary::Ink(int glyph, int x, int y) const
{
    if (!m_data || glyph < 0 || glyph >= GlyphCount() || x < 0 || x >= m_width || y < 0 || y >= m_height)
        return false;
    const qint64 rowBytes = (m_width + 7) / 8;
    const qint64 at = static_cast<qint64>(glyph) * GlyphBytes() + y * rowBytes + x / 8;
    return (m_data[static_cast<size_t>(at)] >> (7 - x % 8)) & 1;
}

bool CFontLibrary::CanSend(const CMyTerminal &terminal) const
{
    return IsLoaded() && terminal.IsConnected() && terminal.Info().hardFont == 0;
}

bool CFontLibrary::Send(CMyTerminal &terminal, CStatusSink *status)
{
    if (!CanSend(terminal))
        return false;
    bool ok = false;
    if (m_length > 0) {
        try {
            CFontData font;
            font.width = m_width;
            font.height = m_height;
            font.data = m_data.get();
            font.size = m_length;
            ok = terminal.SendFontData(font);
        } catch (const std::exception &) {
            ok = false;
        }
    }
    if (ok)
        Report(SinkOf(terminal, status), STATUS_SUCCESS,
               FormatStr(IDS_IMG_FONT_SENT, qUtf8Printable(m_path)));
    else
        Report(SinkOf(terminal, status), STATUS_FAILURE,
               FormatStr(IDS_IMG_FONT_SEND_FAILED, qUtf8Printable(m_path)));
    return ok;
}

bool SendFontFile(CMyTerminal &terminal, CFontLibrary &library, const QString &path, int width, int height,
                  CStatusSink *status)
{
    if (!library.Open(path, width, height, status ? status : terminal.StatusSink()))
        return false;
    return library.Send(terminal, status);
}
