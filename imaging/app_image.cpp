#include "imaging/app_image.h"

#include "res/strings.h"

#include <QImageReader>
#include <QMimeDatabase>

CAppImage::CAppImage() : m_source(&CAppImage::InstalledDecoders) {}

CAppImage::CAppImage(DecoderSource source) : m_source(std::move(source)) {}

CAppImage::~CAppImage()
{
    Shutdown();
}

bool CAppImage::Startup()
{
    if (m_token != 0)
        return true;
    // Qt's image layer needs no start-up; the token only records the state.
    m_token = 1;
    return true;
}

void CAppImage::Shutdown()
{
    m_token = 0;
}

bool CAppImage::InstalledDecoders(std::vector<CImageDecoder> *out)
{
    out->clear();
    QMimeDatabase mimes;
    const QList<QByteArray> types = QImageReader::supportedMimeTypes();
    for (const QByteArray &type : types) {
        const QList<QByteArray> formats = QImageReader::imageFormatsForMimeType(type);
        if (formats.isEmpty())
            continue;
        CImageDecoder decoder;
        decoder.id = type;
        for (const QByteArray &format : formats)
            decoder.patterns << QStringLiteral("*.") + QString::fromLatin1(format).toLower();
        decoder.patterns.removeDuplicates();
        const QMimeType mime = mimes.mimeTypeForName(QString::fromLatin1(type));
        decoder.description = mime.isValid() ? mime.comment() : QString();
        if (decoder.description.isEmpty())
            decoder.description = QString::fromLatin1(formats.first()).toUpper();
        out->push_back(decoder);
    }
    return true;
}

void CAppImage::BuildExtensionTable()
{
    std::vector<CImageDecoder> decoders;
    if (!m_source || !m_source(&decoders))
        return; // the next call tries again
    for (const CImageDecoder &decoder : decoders)
        for (const QString &pattern : decoder.patterns) {
            int start = 0;
            while (start < pattern.size() && pattern.at(start) == QLatin1Char('*'))
                ++start;
            m_keys << pattern.mid(start).toLower();
            m_decoders.push_back(decoder.id);
        }
}

bool CAppImage::IsSupportedImage(const QString &path)
{
    if (path.isEmpty())
        return false;
    if (m_keys.isEmpty())
        BuildExtensionTable();
    const QString extension = PathExtension(path).toLower();
    for (const QString &key : std::as_const(m_keys))
        if (key == extension)
            return true;
    return false;
}

QString CAppImage::GetOpenFilter(const QString &label)
{
    if (!m_filter.isEmpty())
        return m_filter;
    std::vector<CImageDecoder> decoders;
    if (!m_source || !m_source(&decoders) || decoders.empty())
        return QString();

    QStringList entries;
    QStringList all;
    for (const CImageDecoder &decoder : decoders) {
        const QString patterns = decoder.patterns.join(QLatin1Char(' '));
        entries << decoder.description + QStringLiteral(" (") + patterns + QLatin1Char(')');
        all << patterns;
    }
    if (!label.isEmpty())
        entries.prepend(label + QStringLiteral(" (") + all.join(QLatin1Char(' ')) + QLatin1Char(')'));
    m_filter = entries.join(QStringLiteral(";;"));
    return m_filter;
}

QString PathExtension(const QString &path)
{
    int dot = -1;
    for (int i = 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        if (c == QLatin1Char('/') || c == QLatin1Char(' '))
            dot = -1;
        else if (c == QLatin1Char('.'))
            dot = i;
    }
    return dot < 0 ? QString() : path.mid(dot);
}

QString QtFilterFromPipes(const QString &pipes)
{
    const QStringList parts = pipes.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts.at(i).trimmed();
        if (text.isEmpty())
            break; // the "||" that ends the list
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        if (text.endsWith(QLatin1Char(')'))) {
            const int open = text.lastIndexOf(QLatin1Char('('));
            if (open >= 0)
                text = text.left(open).trimmed();
        }
        entries << text + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QString FontOpenFilter()
{
    return QtFilterFromPipes(LoadStr(IDS_IMG_FONT_FILTER));
}

namespace {

CAppImage *s_service = nullptr;

} // namespace

void SetAppImageService(CAppImage *image)
{
    s_service = image;
}

CAppImage &AppImageService()
{
    if (s_service)
        return *s_service;
    static CAppImage fallback;
    fallback.Startup();
    return fallback;
}
