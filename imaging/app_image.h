// The image service: start and stop of the imaging layer, the file types
// the installed decoders read, and the filter of the picture open dialog.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// One installed decoder.
struct CImageDecoder {
    QString description;  // e.g. "JPEG image"
    QStringList patterns; // e.g. "*.jpeg", "*.jpg"
    QByteArray id;        // the decoder's identity (its MIME type)
};

class CAppImage
{
  public:
    // Lists the decoders; false when the list cannot be obtained.
    using DecoderSource = std::function<bool(std::vector<CImageDecoder> *)>;

    CAppImage();
    // Tests pass their own decoder list.
    explicit CAppImage(DecoderSource source);
    ~CAppImage();
    CAppImage(const CAppImage &) = delete;
    CAppImage &operator=(const CAppImage &) = delete;

    // Starts the imaging layer; true at once when already started. With Qt
    // nothing can fail here, but this stays the one place where start-up of
    // imaging is decided.
    bool Startup();
    void Shutdown();
    bool IsStarted() const { return m_token != 0; }

    // Whether the path's extension (from the last dot of its last component)
    // names a type an installed decoder reads; letter case does not matter.
    bool IsSupportedImage(const QString &path);

    // The picture open dialog's filter in Qt syntax: the label with every
    // pattern, then one entry per decoder. Built on the first call (with that
    // call's label) and kept. Empty when no decoder is installed.
    QString GetOpenFilter(const QString &label = QString());

    // Lower-case extensions with their dot and the decoder of each, in
    // decoder order; not de-duplicated (a lookup takes the first).
    const QStringList &ExtensionKeys() const { return m_keys; }
    const std::vector<QByteArray> &ExtensionDecoders() const { return m_decoders; }

    // The decoders of the running program (Qt's image format plugins).
    static bool InstalledDecoders(std::vector<CImageDecoder> *out);

  private:
    void BuildExtensionTable();

    DecoderSource m_source;
    quintptr m_token = 0;
    QString m_filter;
    QStringList m_keys;
    std::vector<QByteArray> m_decoders;
};

// The extension of a path as the open dialogs see it: from the last "." of
// its last component (a blank after the dot ends it); empty without a dot.
QString PathExtension(const QString &path);

// Converts a "text|patterns|text|patterns||" filter into Qt's
// "text (patterns);;..." form. A parenthesised pattern list ending the text
// is replaced by the converted patterns; "*.*" becomes "*".
QString QtFilterFromPipes(const QString &pipes);

// The font open dialog's filter, in Qt syntax.
QString FontOpenFilter();

// The image service of the running program: the one the application object
// registered, or one started on first use when there is none (tests).
CAppImage &AppImageService();
// Registers the application's image service (null: none).
void SetAppImageService(CAppImage *image);
