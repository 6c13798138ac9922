#include "imaging/jpeg_scaled.h"

#include "imaging/image_fit.h"
#include "imaging/image_source.h"
#include "imaging/regular_file.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <unistd.h>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

#ifndef JCS_EXTENSIONS
#error "libjpeg-turbo's extended colour spaces are needed (JCS_EXT_BGRX)"
#endif

namespace
{

// Fixed-point weights: down a column in 1/1024, across a row in 1/4096. A
// column sum stays below 2^18, the sum of column sums below 2^30.
constexpr uint32_t X_ONE = 4096;
constexpr uint32_t Y_ONE = 1024;
constexpr int SHIFT = 22; // log2(X_ONE * Y_ONE)

// The weights of the source cells [i, i + 1) (in units of dst / src of a
// source cell, so that cell i spans [i * dst, (i + 1) * dst)) within target
// cell [j * src, (j + 1) * src), rounded to sum to exactly one.
void SpanWeights(int src, int dst, int j, uint32_t one, int *first, std::vector<uint32_t> *weights)
{
    const int64_t from = int64_t(j) * src;
    const int64_t to = from + src;
    *first = int(from / dst);
    const int last = int((to - 1) / dst);
    weights->clear();
    uint32_t sum = 0;
    size_t largest = 0;
    for (int i = *first; i <= last; ++i) {
        const int64_t overlap = std::min<int64_t>(to, int64_t(i + 1) * dst) - std::max<int64_t>(from, int64_t(i) * dst);
        const uint32_t w = uint32_t((overlap * one + src / 2) / src);
        weights->push_back(w);
        sum += w;
        if (w > (*weights)[largest])
            largest = weights->size() - 1;
    }
    (*weights)[largest] += one - sum; // the rounding's remainder
}

} // namespace

CAreaScaler::CAreaScaler(int srcWidth, int srcHeight, int dstWidth, int dstHeight)
    : m_srcWidth(srcWidth), m_srcHeight(srcHeight), m_dstWidth(dstWidth), m_dstHeight(dstHeight)
{
    if (dstWidth < 1 || dstHeight < 1 || dstWidth > srcWidth || dstHeight > srcHeight ||
        srcWidth > MAX_CANVAS_SIDE * 8 || srcHeight > MAX_CANVAS_SIDE * 8)
        return;
    // Every target column takes the same number of taps (zero weights pad
    // the short ones), so that the loop across runs without branches.
    std::vector<uint32_t> w;
    auto columns = std::vector<std::pair<int, std::vector<uint32_t>>>(size_t(dstWidth));
    m_taps = 1;
    for (int x = 0; x < dstWidth; ++x) {
        SpanWeights(srcWidth, dstWidth, x, X_ONE, &columns[size_t(x)].first, &w);
        columns[size_t(x)].second = w;
        m_taps = std::max(m_taps, int(w.size()));
    }
    m_xFirst.resize(size_t(dstWidth));
    m_xWeights.assign(size_t(dstWidth) * size_t(m_taps), 0);
    for (int x = 0; x < dstWidth; ++x) {
        const auto &[first, weights] = columns[size_t(x)];
        const int start = std::min(first, srcWidth - m_taps);
        m_xFirst[size_t(x)] = start;
        std::copy(weights.begin(), weights.end(), m_xWeights.begin() + x * m_taps + (first - start));
    }
    m_yRow.assign(size_t(srcHeight), -1);
    m_yWeight.assign(size_t(srcHeight), 0);
    m_yNextWeight.assign(size_t(srcHeight), 0);
    for (int y = 0; y < dstHeight; ++y) {
        int first = 0;
        SpanWeights(srcHeight, dstHeight, y, Y_ONE, &first, &w);
        for (size_t k = 0; k < w.size(); ++k) {
            const size_t row = size_t(first) + k;
            // A source row met by the target row above carries on into this one.
            if (m_yRow[row] < 0) {
                m_yRow[row] = y;
                m_yWeight[row] = w[k];
            } else {
                m_yNextWeight[row] = w[k];
            }
        }
    }
    m_acc.assign(size_t(srcWidth), 0);
    m_accNext.assign(size_t(srcWidth), 0);
    m_image = QImage(dstWidth, dstHeight, QImage::Format_RGB32);
}

namespace
{

// One pixel's channels in three 21-bit lanes of a 64-bit word (blue, green,
// red from the bottom), so that a column's weighted sum (at most
// 255 * Y_ONE, 18 bits) is one multiply-add per pixel.
inline uint64_t Spread(uint32_t p)
{
    return uint64_t(p & 0xFF) | (uint64_t(p & 0xFF00) << 13) | (uint64_t(p & 0xFF0000) << 26);
}

constexpr uint64_t LANE = (1u << 21) - 1;

} // namespace

void CAreaScaler::PushRow(const uint32_t *row)
{
    if (m_image.isNull() || m_srcRow >= m_srcHeight)
        return;
    // Down first: the row into the target row it belongs to, and into the
    // next one for the part of it that lies there.
    const uint64_t wy = m_yWeight[size_t(m_srcRow)];
    const uint64_t wNext = m_yNextWeight[size_t(m_srcRow)];
    uint64_t *acc = m_acc.data();
    const int n = m_srcWidth;
    if (wNext == 0) {
        for (int i = 0; i < n; ++i)
            acc[i] += Spread(row[i]) * wy;
    } else {
        uint64_t *next = m_accNext.data();
        for (int i = 0; i < n; ++i) {
            const uint64_t p = Spread(row[i]);
            acc[i] += p * wy;
            next[i] += p * wNext;
        }
    }
    ++m_srcRow;
    // The target row is complete when the next source row starts below it.
    if (m_srcRow == m_srcHeight || m_yRow[size_t(m_srcRow)] != m_dstRow)
        FlushRow();
}

namespace
{

// Each target pixel of a row: the weighted sum of taps column sums, blue and
// red in two 32-bit lanes, green alone (30 bits each at most), rounded.
template <int TAPS>
void SumAcross(const uint64_t *acc, const int *firsts, const uint32_t *weights, int taps, int width,
               uint32_t *out)
{
    const int n = TAPS > 0 ? TAPS : taps;
    const uint64_t half = uint64_t(1) << (SHIFT - 1);
    for (int x = 0; x < width; ++x, weights += n) {
        const uint64_t *src = acc + firsts[x];
        uint64_t br = (uint64_t(1) << 32 | 1) * half, g = half;
        for (int k = 0; k < n; ++k) {
            const uint64_t a = src[k];
            br += ((a & LANE) | ((a >> 42) << 32)) * weights[k];
            g += ((a >> 21) & LANE) * weights[k];
        }
        out[x] = 0xFF000000u | uint32_t((br >> (32 + SHIFT)) << 16) | uint32_t((g >> SHIFT) << 8) |
                 uint32_t((br & 0xFFFFFFFFu) >> SHIFT);
    }
}

} // namespace

void CAreaScaler::FlushRow()
{
    if (m_dstRow >= m_dstHeight)
        return;
    auto *out = reinterpret_cast<uint32_t *>(m_image.scanLine(m_dstRow));
    const uint64_t *acc = m_acc.data();
    const int *firsts = m_xFirst.data();
    const uint32_t *weights = m_xWeights.data();
    switch (m_taps) {
    case 1: SumAcross<1>(acc, firsts, weights, 1, m_dstWidth, out); break;
    case 2: SumAcross<2>(acc, firsts, weights, 2, m_dstWidth, out); break;
    case 3: SumAcross<3>(acc, firsts, weights, 3, m_dstWidth, out); break;
    case 4: SumAcross<4>(acc, firsts, weights, 4, m_dstWidth, out); break;
    default: SumAcross<0>(acc, firsts, weights, m_taps, m_dstWidth, out); break;
    }
    m_acc.swap(m_accNext);
    std::fill(m_accNext.begin(), m_accNext.end(), 0u);
    ++m_dstRow;
}

int JpegScaleEighths(QSize own, QSize target)
{
    for (int n = 1; n < 8; ++n) {
        // libjpeg's scaled size: the side times n/8, rounded up.
        const int64_t w = (int64_t(own.width()) * n + 7) / 8;
        const int64_t h = (int64_t(own.height()) * n + 7) / 8;
        if (w >= target.width() && h >= target.height())
            return n;
    }
    return 8;
}

// ---------------------------------------------------------------- CJpegFile

namespace
{

constexpr size_t READ_CHUNK = 64 * 1024;

struct CSource {
    jpeg_source_mgr mgr;
    int fd = -1;
    bool ended = false; // the file ran out before the picture did
    JOCTET buffer[READ_CHUNK];
};

struct CErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    bool lost = false;
    char message[JMSG_LENGTH_MAX] = {};
};

void InitSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr cinfo)
{
    auto *src = reinterpret_cast<CSource *>(cinfo->src);
    ssize_t got;
    do
        got = ::read(src->fd, src->buffer, READ_CHUNK);
    while (got < 0 && errno == EINTR);
    if (got <= 0) {
        // As libjpeg's own sources do: a warning, and an end marker so that
        // the decoder stops; the warning marks the picture as lost.
        src->ended = true;
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        got = 2;
    }
    src->mgr.next_input_byte = src->buffer;
    src->mgr.bytes_in_buffer = size_t(got);
    return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count)
{
    auto *src = reinterpret_cast<CSource *>(cinfo->src);
    while (count > 0 && !src->ended) {
        if (size_t(count) <= src->mgr.bytes_in_buffer) {
            src->mgr.next_input_byte += count;
            src->mgr.bytes_in_buffer -= size_t(count);
            return;
        }
        count -= long(src->mgr.bytes_in_buffer);
        FillInput(cinfo);
    }
}

void TermSource(j_decompress_ptr) {}

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<CErrors *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return; // trace messages
    auto *err = reinterpret_cast<CErrors *>(cinfo->err);
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    if (!CDecoderWatch::JpegMessageMeansDataLost(QString::fromLatin1(text)))
        return;
    // Lost data refuses the picture: no need to decode the rest.
    err->lost = true;
    std::memcpy(err->message, text, sizeof err->message);
    std::longjmp(err->jump, 1);
}

} // namespace

struct CJpegFile::CState {
    jpeg_decompress_struct info;
    CErrors errors;
    CSource source;
    bool created = false;
    bool headerRead = false;
    // What a decode builds, kept here so that a jump out of libjpeg never
    // crosses a live object.
    std::unique_ptr<CAreaScaler> scaler;
    std::vector<uint32_t> row;

    ~CState()
    {
        if (created)
            jpeg_destroy_decompress(&info);
        if (source.fd >= 0)
            ::close(source.fd);
    }
};

CJpegFile::CJpegFile() : m_state(std::make_unique<CState>()) {}

CJpegFile::~CJpegFile() = default;

bool CJpegFile::Open(const QString &path, QString *error)
{
    CState &s = *m_state;
    int reason = 0;
    s.source.fd = OpenRegularFile(path, &reason);
    if (s.source.fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(reason));
        return false;
    }
    s.info.err = jpeg_std_error(&s.errors.mgr);
    s.errors.mgr.error_exit = ErrorExit;
    s.errors.mgr.emit_message = EmitMessage;
    if (setjmp(s.errors.jump)) {
        if (error)
            *error = QString::fromLatin1(s.errors.message);
        return false;
    }
    jpeg_create_decompress(&s.info);
    s.created = true;
    // libjpeg's working memory is bounded like a decoded picture: past it
    // the decode fails instead of taking the machine's memory.
    s.info.mem->max_memory_to_use = long(SCALED_DECODE_LIMIT_MB) * 1024 * 1024;
    s.source.mgr.init_source = InitSource;
    s.source.mgr.fill_input_buffer = FillInput;
    s.source.mgr.skip_input_data = SkipInput;
    s.source.mgr.resync_to_restart = jpeg_resync_to_restart;
    s.source.mgr.term_source = TermSource;
    s.source.mgr.bytes_in_buffer = 0;
    s.source.mgr.next_input_byte = nullptr;
    s.info.src = &s.source.mgr;
    jpeg_read_header(&s.info, TRUE);
    s.headerRead = true;
    return true;
}

QSize CJpegFile::Size() const
{
    if (!m_state->headerRead)
        return QSize();
    return QSize(int(m_state->info.image_width), int(m_state->info.image_height));
}

bool CJpegFile::ProducesRgb() const
{
    const J_COLOR_SPACE space = m_state->info.jpeg_color_space;
    return m_state->headerRead && (space == JCS_GRAYSCALE || space == JCS_YCbCr || space == JCS_RGB);
}

QImage CJpegFile::Decode(QSize target, bool *lost, QString *error)
{
    CState &s = *m_state;
    *lost = false;
    const QSize own = Size();
    if (!ProducesRgb() || target.width() < 1 || target.height() < 1 || target.width() > own.width() ||
        target.height() > own.height())
        return QImage();
    if (setjmp(s.errors.jump)) {
        *lost = s.errors.lost;
        if (error)
            *error = QString::fromLatin1(s.errors.message);
        return QImage();
    }
    s.info.scale_num = unsigned(JpegScaleEighths(own, target));
    s.info.scale_denom = 8;
    s.info.dct_method = JDCT_ISLOW;
    s.info.out_color_space = JCS_EXT_BGRX; // the words of Format_RGB32
    jpeg_start_decompress(&s.info);
    const int width = int(s.info.output_width);
    const int height = int(s.info.output_height);
    s.scaler = std::make_unique<CAreaScaler>(width, height, target.width(), target.height());
    if (!s.scaler->IsValid()) {
        jpeg_abort_decompress(&s.info);
        return QImage();
    }
    s.row.resize(size_t(width));
    JSAMPROW line = reinterpret_cast<JSAMPROW>(s.row.data());
    while (s.info.output_scanline < s.info.output_height) {
        jpeg_read_scanlines(&s.info, &line, 1);
        s.scaler->PushRow(s.row.data());
    }
    jpeg_finish_decompress(&s.info);
    return s.scaler->Result();
}
