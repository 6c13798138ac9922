#include "link/ui/slot_text.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <climits>

int ParseSlotText(const QString &text)
{
    bool ok = false;
    const uint value = text.trimmed().toUInt(&ok, 10);
    if (!ok || value > static_cast<uint>(INT_MAX))
        return -1;
    return static_cast<int>(value);
}

QValidator *DigitsOnlyValidator(QObject *parent)
{
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), parent);
}
