// A small command-line parser: long and short options (with or without a
// value) anywhere on the line, positional arguments, and "--" to end options.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

struct COptionDef {
    QString name;        // long name without "--"
    QChar shortName;     // 0 when none
    bool takesValue = false;
    QString valueName;   // shown in the help text
    QString help;
    // With takesValue false: a value may still follow as "--name=value".
    bool optionalValue = false;
};

class CParsedArgs {
public:
    bool Has(const QString &name) const { return m_values.contains(name); }
    // The last value given for the option.
    QString Value(const QString &name) const { return m_values.value(name); }
    // Every value given for the option, in order.
    QStringList Values(const QString &name) const { return m_all.value(name); }
    const QStringList &Positionals() const { return m_positionals; }

    QMap<QString, QString> m_values;
    QMap<QString, QStringList> m_all;
    QStringList m_positionals;
};

// Parses args (without the program name) against defs. On failure returns
// false and *error gets the offending argument.
bool ParseArgs(const QStringList &args, const QVector<COptionDef> &defs, CParsedArgs *out, QString *error);

// Value parsers; each returns false on malformed text.
bool ParseInt(const QString &text, int *value);
// "WxH" (x or X), both sides positive.
bool ParseSize(const QString &text, int *width, int *height);
// "X,Y", both non-negative.
bool ParsePoint(const QString &text, int *x, int *y);
// "#RRGGBB" to 0x00BBGGRR.
bool ParseColor(const QString &text, uint32_t *color);
