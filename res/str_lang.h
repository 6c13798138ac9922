// The language of the user interface, chosen once at start by every program:
// the command line's --lang, else the environment's QEL_LANG, else the
// profile's Settings/Language, else Chinese. The codes are "zh" and "en".
#pragma once

#include <QString>
#include <QStringList>

#include "res/strings.h"

// "zh" or "en", without regard to case; a region or encoding after '_', '-'
// or '.' is ignored ("en_GB.UTF-8"). False for anything else.
bool ParseStrLang(const QString &code, StrLang *lang);
QString StrLangCode(StrLang lang);

// The value of "--lang X" or "--lang=X" among the arguments (up to "--");
// a null string when there is none.
QString LangArgument(const QStringList &args);

// The language by precedence; a value that names no language (command line,
// environment or profile) passes the choice on to the next source. The
// programs' parsers report a bad --lang themselves.
StrLang ChooseStrLang(const QString &commandLineValue);

// The profile's choice, applied at the next start.
void SaveStrLangChoice(StrLang lang);
