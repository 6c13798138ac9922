#include "cli_args.h"

#include <QRegularExpression>

namespace {

const COptionDef *FindLong(const QVector<COptionDef> &defs, const QString &name)
{
    for (const COptionDef &s : defs)
        if (s.name == name)
            return &s;
    return nullptr;
}

const COptionDef *FindShort(const QVector<COptionDef> &defs, QChar c)
{
    for (const COptionDef &s : defs)
        if (!s.shortName.isNull() && s.shortName == c)
            return &s;
    return nullptr;
}

} // namespace

bool ParseArgs(const QStringList &args, const QVector<COptionDef> &defs, CParsedArgs *out, QString *error)
{
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (optionsEnded || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            out->m_positionals << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const COptionDef *opt = nullptr;
        QString inlineValue;
        bool hasInline = false;
        if (arg.startsWith(QLatin1String("--"))) {
            QString name = arg.mid(2);
            const int eq = name.indexOf(QLatin1Char('='));
            if (eq >= 0) {
                inlineValue = name.mid(eq + 1);
                name = name.left(eq);
                hasInline = true;
            }
            opt = FindLong(defs, name);
        } else if (arg.size() >= 2) {
            opt = FindShort(defs, arg[1]);
            if (opt && arg.size() > 2) {
                inlineValue = arg.mid(2);
                hasInline = true;
            }
        }
        if (!opt) {
            *error = arg;
            return false;
        }
        if (!opt->takesValue) {
            if (hasInline && !opt->optionalValue) {
                *error = arg;
                return false;
            }
            out->m_values.insert(opt->name, inlineValue);
            continue;
        }
        if (!hasInline) {
            if (i + 1 >= args.size()) {
                *error = arg;
                return false;
            }
            inlineValue = args[++i];
        }
        out->m_values.insert(opt->name, inlineValue);
        out->m_all[opt->name] << inlineValue;
    }
    return true;
}

bool ParseInt(const QString &text, int *value)
{
    static const QRegularExpression re(QStringLiteral("^[+-]?[0-9]{1,9}$"));
    if (!re.match(text.trimmed()).hasMatch())
        return false;
    *value = text.trimmed().toInt();
    return true;
}

bool ParseSize(const QString &text, int *width, int *height)
{
    static const QRegularExpression re(QStringLiteral("^([0-9]{1,5})[xX]([0-9]{1,5})$"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).toInt();
    if (w <= 0 || h <= 0)
        return false;
    *width = w;
    *height = h;
    return true;
}

bool ParsePoint(const QString &text, int *x, int *y)
{
    static const QRegularExpression re(QStringLiteral("^([0-9]{1,5}),([0-9]{1,5})$"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const int px = m.captured(1).toInt();
    const int py = m.captured(2).toInt();
    if (px > 65535 || py > 65535)
        return false;
    *x = px;
    *y = py;
    return true;
}

bool ParseColor(const QString &text, uint32_t *color)
{
    static const QRegularExpression re(QStringLiteral("^#([0-9a-fA-F]{6})$"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const uint32_t rgb = m.captured(1).toUInt(nullptr, 16);
    const uint32_t r = (rgb >> 16) & 0xFF;
    const uint32_t g = (rgb >> 8) & 0xFF;
    const uint32_t b = rgb & 0xFF;
    *color = (b << 16) | (g << 8) | r;
    return true;
}
