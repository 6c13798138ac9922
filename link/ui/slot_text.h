// Slot numbers typed by the user.
#pragma once

#include <QString>

class QObject;
class QValidator;

// The text as an unsigned decimal number; -1 when it is empty, not a number
// or too large for a slot.
int ParseSlotText(const QString &text);

// Accepts digits only.
QValidator *DigitsOnlyValidator(QObject *parent);
