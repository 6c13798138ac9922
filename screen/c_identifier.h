// C identifiers made from the names a user gives screens and variables: any
// script is transliterated to ASCII (Chinese to pinyin), what remains that a
// C name cannot hold becomes an underscore, a name with nothing left is
// numbered, and words of C and C++ are avoided, so that the generated header
// also compiles in an Arduino sketch.
#pragma once

#include <QSet>
#include <QString>
#include <functional>

// The name as a lower-case C identifier: letters, digits and single
// underscores, not starting with a digit or an underscore, at most
// C_NAME_MAX_LENGTH characters, never a keyword. Empty when nothing of the
// name can be kept (the caller numbers it then).
QString CIdentifierPart(const QString &name);

enum : int { C_NAME_MAX_LENGTH = 32 };

// Whether the word is reserved in C99, C11 or C++ (or is a macro name of
// the standard headers the generated code includes).
bool IsReservedCWord(const QString &word);

// Unique names within one scope. Take returns the identifier part of the
// name, or fallback followed by a number (1, 2, ...) when nothing of it is
// left, with "_2", "_3" ... appended while the result is taken already by
// this scope or refused by accept (which tests the whole identifiers the
// part would make).
class CIdentifierScope {
public:
    QString Take(const QString &name, const QString &fallback,
                 const std::function<bool(const QString &part)> &accept = nullptr);

private:
    QSet<QString> m_taken;
    int m_numbered = 0;
};
