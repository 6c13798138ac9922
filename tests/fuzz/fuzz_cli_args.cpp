// The command-line parser: NUL-separated arguments against the options of a
// command, then the value parsers on each value.
#include "cli_args.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QStringList args;
    for (const QByteArray &part : bytes.split('\0'))
        args << QString::fromUtf8(part);
    static const QVector<COptionDef> defs = {
        {QStringLiteral("port"), QLatin1Char('p'), true, QStringLiteral("PORT"), QString()},
        {QStringLiteral("json"), QChar(), false, QString(), QString()},
        {QStringLiteral("size"), QChar(), true, QStringLiteral("WxH"), QString()},
        {QStringLiteral("at"), QChar(), true, QStringLiteral("X,Y"), QString()},
        {QStringLiteral("bg"), QChar(), true, QStringLiteral("#RRGGBB"), QString()},
        {QStringLiteral("slot"), QChar(), true, QStringLiteral("N"), QString()},
        {QStringLiteral("yes"), QLatin1Char('y'), false, QString(), QString()},
    };
    CParsedArgs parsed;
    QString bad;
    ParseArgs(args, defs, &parsed, &bad);
    for (const QString &value : parsed.m_values) {
        int a = 0;
        int b = 0;
        uint32_t colour = 0;
        ParseInt(value, &a);
        if (ParseSize(value, &a, &b) && (a <= 0 || b <= 0))
            __builtin_trap();
        if (ParsePoint(value, &a, &b) && (a < 0 || b < 0 || a > 65535 || b > 65535))
            __builtin_trap();
        if (ParseColor(value, &colour) && colour > 0x00FFFFFFu)
            __builtin_trap();
    }
    return 0;
}
