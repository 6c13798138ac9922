#include "res/strings.h"

#include "res/resource.h"

#include <algorithm>
#include <vector>

namespace {

struct StrEntry {
    int id;
    const char *text;
};

const StrEntry kStrings[] = {
#include "res/strings_link.inc"
#include "res/strings_decoder.inc"
#include "res/strings_frontend.inc"
#include "res/strings_imaging.inc"
#include "res/strings_batch.inc"
#include "res/strings_shell.inc"
#include "res/strings_cli.inc"
#include "res/strings_ports.inc"
    {0, nullptr}};

const StrEntry *Find(int id)
{
    for (const StrEntry &e : kStrings)
        if (e.text && e.id == id)
            return &e;
    return nullptr;
}

} // namespace

QString LoadStr(int id)
{
    const StrEntry *e = Find(id);
    return e ? QString::fromUtf8(e->text) : QString();
}

bool HasStr(int id)
{
    return Find(id) != nullptr;
}

QString LoadStrPart(int id, int part)
{
    const QString text = LoadStr(id);
    const int nl = text.indexOf(QLatin1Char('\n'));
    if (nl < 0)
        return part == 0 ? text : QString();
    return part == 0 ? text.left(nl) : text.mid(nl + 1);
}

std::vector<int> AllStrIds()
{
    std::vector<int> ids;
    for (const StrEntry &e : kStrings)
        if (e.text)
            ids.push_back(e.id);
    return ids;
}
