// Text on the wire: the terminal's code page (GBK unless the profile value
// Settings/CodePage names another) through ICU, and the half-width mapping.
#pragma once

#include <QByteArray>
#include <QString>

// The code page in use (profile value or "GBK").
QString WireCodePage();
// Overrides the code page for this process (empty: back to the profile).
void SetWireCodePage(const QString &name);

// Terminal bytes to text. Undecodable bytes become U+FFFD.
QString WireToText(const QByteArray &bytes);
// Text to terminal bytes, without terminator. Unmappable characters become
// the code page's substitution byte. ok is false when the converter fails.
QByteArray TextToWire(const QString &text, bool *ok = nullptr);
// Full-width letters, digits and signs to their half-width forms.
QString ToHalfWidth(const QString &text);
