#include "screen/c_identifier.h"

#include <QMutex>
#include <QMutexLocker>
#include <memory>
#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace {

// Any script to Latin, then Latin to plain ASCII: "温度" becomes "wendu",
// "Ελλάδα" "Ellada", "Größe" "Grosse".
QString ToAscii(const QString &text)
{
    static QMutex mutex;
    static std::unique_ptr<icu::Transliterator> trans = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(icu::Transliterator::createInstance(
            icu::UnicodeString::fromUTF8("Any-Latin; Latin-ASCII"), UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(t) : nullptr;
    }();
    QMutexLocker lock(&mutex);
    if (!trans)
        return text;
    icu::UnicodeString s(reinterpret_cast<const UChar *>(text.utf16()), text.size());
    trans->transliterate(s);
    return QString(reinterpret_cast<const QChar *>(s.getBuffer()), s.length());
}

const char *const kReserved[] = {
    // C99 and C11 keywords (the _Upper ones cannot come out lower-case).
    "auto", "break", "case", "char", "const", "continue", "default", "do", "double", "else", "enum", "extern",
    "float", "for", "goto", "if", "inline", "int", "long", "register", "restrict", "return", "short", "signed",
    "sizeof", "static", "struct", "switch", "typedef", "union", "unsigned", "void", "volatile", "while",
    // C++ keywords and alternative tokens: the header is included by a sketch.
    "alignas", "alignof", "and", "and_eq", "asm", "bitand", "bitor", "bool", "catch", "char8_t", "char16_t",
    "char32_t", "class", "compl", "concept", "consteval", "constexpr", "constinit", "const_cast", "co_await",
    "co_return", "co_yield", "decltype", "delete", "dynamic_cast", "explicit", "export", "false", "friend",
    "mutable", "namespace", "new", "noexcept", "not", "not_eq", "nullptr", "operator", "or", "or_eq", "private",
    "protected", "public", "reinterpret_cast", "requires", "static_assert", "static_cast", "template", "this",
    "thread_local", "throw", "true", "try", "typeid", "typename", "using", "virtual", "wchar_t", "xor", "xor_eq",
    // Names of the headers the generated code includes.
    "size_t", "ptrdiff_t", "max_align_t", "offsetof", "int8_t", "int16_t", "int32_t", "int64_t", "uint8_t",
    "uint16_t", "uint32_t", "uint64_t", "intptr_t", "uintptr_t", "intmax_t", "uintmax_t"};

} // namespace

bool IsReservedCWord(const QString &word)
{
    static const QSet<QString> words = [] {
        QSet<QString> s;
        for (const char *w : kReserved)
            s.insert(QString::fromLatin1(w));
        return s;
    }();
    if (words.contains(word))
        return true;
    // The least and fast integer types of stdint.h.
    return (word.startsWith(QLatin1String("int_")) || word.startsWith(QLatin1String("uint_"))) &&
           word.endsWith(QLatin1String("_t"));
}

QString CIdentifierPart(const QString &name)
{
    const QString ascii = ToAscii(name).toLower();
    QString out;
    for (const QChar c : ascii) {
        const bool keep = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                          (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        if (keep)
            out += c;
        else if (!out.isEmpty() && !out.endsWith(QLatin1Char('_')))
            out += QLatin1Char('_');
    }
    if (!out.isEmpty() && out.front().isDigit())
        out.prepend(QLatin1String("n_"));
    if (out.size() > C_NAME_MAX_LENGTH)
        out.truncate(C_NAME_MAX_LENGTH);
    while (out.endsWith(QLatin1Char('_')))
        out.chop(1);
    // A trailing underscore would make a double one where the part is joined
    // to the next ("int_" + "_show"), which C++ reserves.
    if (IsReservedCWord(out))
        out += QLatin1String("_id");
    return out;
}

QString CIdentifierScope::Take(const QString &name, const QString &fallback,
                               const std::function<bool(const QString &)> &accept)
{
    QString base = CIdentifierPart(name);
    if (base.isEmpty())
        base = fallback + QString::number(++m_numbered);
    QString id = base;
    for (int n = 2; m_taken.contains(id) || (accept && !accept(id)); ++n)
        id = base + QLatin1Char('_') + QString::number(n);
    m_taken.insert(id);
    return id;
}
