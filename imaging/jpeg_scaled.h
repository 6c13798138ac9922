// Decoding a JPEG straight to a smaller size without ever holding it whole:
// libjpeg scales while decoding (DCT scaling) to the smallest size that is
// still at least the target, and an area average takes each row from there
// to the target as it arrives. Memory follows the target size, and the work
// beyond libjpeg's own scaled decode is one pass over its rows.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

// Averages srcWidth x srcHeight rows of 0x??RRGGBB words down to a
// dstWidth x dstHeight Format_RGB32 picture (1 <= dst <= src on each side):
// each target pixel is the mean of the source area it covers, pixels cut by
// its edges weighted by the part inside. Within one level of the exact mean.
class CAreaScaler
{
  public:
    CAreaScaler(int srcWidth, int srcHeight, int dstWidth, int dstHeight);

    // False when the sizes are out of range or the picture could not be made.
    bool IsValid() const { return !m_image.isNull(); }
    // The next source row, srcWidth words; srcHeight rows in all.
    void PushRow(const uint32_t *row);
    // The picture, complete once every source row was pushed.
    const QImage &Result() const { return m_image; }

  private:
    void FlushRow();

    int m_srcWidth, m_srcHeight, m_dstWidth, m_dstHeight;
    // Per target column: the first of m_taps source pixels and their
    // weights, summing to X_ONE.
    int m_taps = 1;
    std::vector<int> m_xFirst;
    std::vector<uint32_t> m_xWeights;
    // Per source row: the target row it starts in, its weight there and in
    // the next one (each source row meets at most two, the source being
    // taller), each target row's weights summing to Y_ONE.
    std::vector<int> m_yRow;
    std::vector<uint32_t> m_yWeight, m_yNextWeight;
    // Column sums of the current target row and of the one after it, one
    // word per source pixel, its channels in lanes.
    std::vector<uint64_t> m_acc;
    std::vector<uint64_t> m_accNext;
    int m_srcRow = 0;
    int m_dstRow = 0;
    QImage m_image;
};

// A JPEG file read with libjpeg directly. Open reads the header; Decode
// decodes at a target size no larger than the picture.
class CJpegFile
{
  public:
    CJpegFile();
    ~CJpegFile();
    CJpegFile(const CJpegFile &) = delete;
    CJpegFile &operator=(const CJpegFile &) = delete;

    // Opens a regular file and reads its header. False with a reason when the
    // file cannot be opened or the header is not a JPEG's.
    bool Open(const QString &path, QString *error);
    // The picture's own size, from its header.
    QSize Size() const;
    // Whether libjpeg can turn the picture's colours into RGB (not CMYK).
    bool ProducesRgb() const;
    // Decodes the picture to target (each side 1 up to the own size) through
    // a CAreaScaler. A null image on failure, *error (when asked) with the
    // reason; *lost is set when the file ended early or its data was corrupt,
    // by the rule of CDecoderWatch, and the decode stops there.
    QImage Decode(QSize target, bool *lost, QString *error);

  private:
    struct CState;
    std::unique_ptr<CState> m_state;
};

// The smallest scale n/8 (n from 1 to 8) at which libjpeg's scaled decode of
// a picture of size own is still at least target on both sides.
int JpegScaleEighths(QSize own, QSize target);
