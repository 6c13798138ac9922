// The string table: every user-visible text of the program, by id.
#pragma once

#include <QString>
#include <vector>

#include "res/string_ids.h"

// Text of a string-table entry; an empty string for an unknown id.
QString LoadStr(int id);

// Whether the id is in the table.
bool HasStr(int id);

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

// Every id in the table, in table order (for consistency checks).
std::vector<int> AllStrIds();
