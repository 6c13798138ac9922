#include "link/wire_text.h"

#include <QMutex>
#include <QMutexLocker>
#include <memory>
#include <vector>
#include <unicode/translit.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include "res/profile.h"

namespace {

QMutex g_mutex;
QString g_override;
QString g_cached;
bool g_haveCached = false;

struct ConverterCloser {
    void operator()(UConverter *c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr OpenConverter()
{
    UErrorCode status = U_ZERO_ERROR;
    const QByteArray name = WireCodePage().toLatin1();
    UConverter *conv = ucnv_open(name.constData(), &status);
    if (U_FAILURE(status) || !conv) {
        // An unknown code page in the profile falls back to GBK.
        status = U_ZERO_ERROR;
        conv = ucnv_open("GBK", &status);
    }
    return ConverterPtr(U_SUCCESS(status) ? conv : nullptr);
}

} // namespace

QString WireCodePage()
{
    QMutexLocker lock(&g_mutex);
    if (!g_override.isEmpty())
        return g_override;
    if (!g_haveCached) {
        const QString fromProfile = OpenProfile()->value(QStringLiteral("Settings/CodePage")).toString().trimmed();
        g_cached = fromProfile.isEmpty() ? QStringLiteral("GBK") : fromProfile;
        g_haveCached = true;
    }
    return g_cached;
}

void SetWireCodePage(const QString &name)
{
    QMutexLocker lock(&g_mutex);
    g_override = name;
    g_haveCached = false;
}

QString WireToText(const QByteArray &bytes)
{
    ConverterPtr conv = OpenConverter();
    if (!conv)
        return QString::fromLatin1(bytes);
    if (bytes.isEmpty())
        return QString(QLatin1String(""));
    std::vector<UChar> out(static_cast<size_t>(bytes.size()) * 2 + 4);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(conv.get(), out.data(), static_cast<int32_t>(out.size()), bytes.constData(),
                                    bytes.size(), &status);
    if (U_FAILURE(status))
        return QString::fromLatin1(bytes);
    return QString(reinterpret_cast<const QChar *>(out.data()), n);
}

QByteArray TextToWire(const QString &text, bool *ok)
{
    if (ok)
        *ok = false;
    ConverterPtr conv = OpenConverter();
    if (!conv)
        return QByteArray();
    if (text.isEmpty()) {
        if (ok)
            *ok = true;
        return QByteArray();
    }
    const int32_t capacity = UCNV_GET_MAX_BYTES_FOR_STRING(text.size(), ucnv_getMaxCharSize(conv.get()));
    QByteArray out(capacity, '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(conv.get(), out.data(), capacity, reinterpret_cast<const UChar *>(text.utf16()),
                                      text.size(), &status);
    if (U_FAILURE(status))
        return QByteArray();
    out.truncate(n);
    if (ok)
        *ok = true;
    return out;
}

QString ToHalfWidth(const QString &text)
{
    // Only the full-width forms of ASCII and the ideographic space: other
    // half-width forms (katakana, CJK punctuation) are missing from the
    // Chinese code pages the terminals use.
    static std::unique_ptr<icu::Transliterator> trans = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(icu::Transliterator::createInstance(
            icu::UnicodeString::fromUTF8("[\\uFF01-\\uFF5E\\u3000] Fullwidth-Halfwidth"), UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(t) : nullptr;
    }();
    static QMutex transMutex;
    QMutexLocker lock(&transMutex);
    if (!trans)
        return text;
    icu::UnicodeString s(reinterpret_cast<const UChar *>(text.utf16()), text.size());
    trans->transliterate(s);
    return QString(reinterpret_cast<const QChar *>(s.getBuffer()), s.length());
}
