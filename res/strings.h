// The string table: every user-visible text of the program, by id.
#pragma once

#include <QString>
#include <vector>

#include "res/string_ids.h"

// The language of the user interface. Chinese is the default; the choice
// changes only what people read, never what a terminal, a batch file or the
// profile sees.
enum class StrLang { Chinese, English };

// Chooses the table LoadStr reads (set once at start, before any window).
void SetStrLang(StrLang lang);
StrLang CurrentStrLang();

// Text of a string-table entry in the current language; an empty string for
// an unknown id.
QString LoadStr(int id);

// Whether the id is in the current language's table.
bool HasStr(int id);

// The same, in a given language (for consistency checks).
QString LoadStrIn(StrLang lang, int id);
bool HasStrIn(StrLang lang, int id);

// The entry's text formatted printf-style (%d, %s, %02X ...). Pass strings as
// UTF-8 (qUtf8Printable).
template <typename... Args>
QString FormatStr(int id, Args... args)
{
    return QString::asprintf(LoadStr(id).toUtf8().constData(), args...);
}

// Prompt and tip of a command's entry ("prompt\ntip"): part 0 is the prompt
// shown in the message pane, part 1 the tooltip.
QString LoadStrPart(int id, int part);

// Every id in a language's table, in table order (for consistency checks).
std::vector<int> AllStrIds(StrLang lang = StrLang::Chinese);
