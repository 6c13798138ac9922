// Reading picture files strictly. Qt's decoders fill the part of a picture
// that a cut-short or corrupt file lacks with filler and still report
// success; sent to a slot, such a picture would replace a good one. The file
// under the reader watches for the decoder running out of data, and a watch
// on the calling thread collects the decoders' complaints about lost data.
#pragma once

#include <QFile>
#include <QString>

class CImageSource : public QFile
{
  public:
    explicit CImageSource(const QString &path) : m_path(path) {}
    ~CImageSource() override;

    // The path, also once opened from a descriptor: QImageReader takes the
    // decoder hint from its suffix.
    QString fileName() const override { return m_path; }

    // Opens the path for unbuffered reading, only when it is a regular file:
    // the open does not block on a FIFO or device. False with the system's
    // reason in *error otherwise.
    bool OpenRegular(QString *error);

    // Forgets what header probes read; call before the decode.
    void ResetWatch();
    // Whether the picture's data ended before the picture did, by the rule of
    // the decoder's format, judged after a decode that succeeded: a BMP row
    // cut short, a GIF image whose data blocks run past the end, an XBM that
    // needed more text. JPEG shows it through CDecoderWatch; the other
    // decoders fail by themselves.
    bool EndedEarly(const QByteArray &format);

  protected:
    qint64 readData(char *data, qint64 maxSize) override;

  private:
    QString m_path;
    bool m_starved = false; // a read found no byte left
    bool m_cut = false;     // a read got fewer bytes than it asked for
};

// Whether the GIF data holds at least one image whose blocks are all there
// (the trailer may be missing after it).
bool GifImageComplete(const uchar *data, qint64 size);

// While alive, collects on the calling thread the decoder warnings that say
// picture data was lost (libjpeg's "Corrupt JPEG data" and "Premature end"
// warnings); they are not printed. Other messages pass on unchanged.
class CDecoderWatch
{
  public:
    CDecoderWatch();
    ~CDecoderWatch();
    CDecoderWatch(const CDecoderWatch &) = delete;
    CDecoderWatch &operator=(const CDecoderWatch &) = delete;

    bool DataLost() const { return m_lost; }

    // Whether a decoder message of the category means lost data.
    static bool MeansDataLost(const char *category, const QString &message);
    // Whether a warning of libjpeg's means lost data.
    static bool JpegMessageMeansDataLost(const QString &message);

    // Called by the message handler on the watch's thread.
    void MarkDataLost() { m_lost = true; }

  private:
    CDecoderWatch *m_outer;
    bool m_lost = false;
};
