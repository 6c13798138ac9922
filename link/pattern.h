// The small pattern language of the device information text and of font
// file names: \b blank, \z digits, . any, * greedy repeat, {} captures,
// single-element |, case-insensitive, unanchored.
#pragma once

#include <QString>
#include <QStringList>

// Searches text for the pattern; on a match fills the captures (in the order
// of their opening braces) and returns true.
bool PatternSearch(const QString &pattern, const QString &text, QStringList *captures);

// Decimal value of at most the first maxDigits characters of a capture.
long long CaptureToInt(const QString &capture, int maxDigits);
