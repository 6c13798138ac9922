#include "res/strings.h"

#include "res/ids_cexport.h"
#include "res/ids_screen.h"
#include "res/ids_screen_ui.h"
#include "res/resource.h"

#include <algorithm>
#include <vector>

namespace {

struct StrEntry {
    int id;
    const char *text;
};

// Simplified Chinese: the default, and the texts the terminal and files
// never depend on the choice of.
const StrEntry kStrings[] = {
#include "res/strings_link.inc"
#include "res/strings_decoder.inc"
#include "res/strings_frontend.inc"
#include "res/strings_imaging.inc"
#include "res/strings_batch.inc"
#include "res/strings_shell.inc"
#include "res/strings_cli.inc"
#include "res/strings_ports.inc"
#include "res/strings_checks.inc"
#include "res/strings_screen.inc"
#include "res/strings_cexport.inc"
#include "res/strings_screen_ui.inc"
    {0, nullptr}};

// English: the same ids, chosen by the user.
const StrEntry kStringsEn[] = {
#include "res/strings_en_link.inc"
#include "res/strings_en_decoder.inc"
#include "res/strings_en_frontend.inc"
#include "res/strings_en_imaging.inc"
#include "res/strings_en_batch.inc"
#include "res/strings_en_shell.inc"
#include "res/strings_en_cli.inc"
#include "res/strings_en_ports.inc"
#include "res/strings_en_checks.inc"
#include "res/strings_en_screen.inc"
#include "res/strings_en_cexport.inc"
#include "res/strings_en_screen_ui.inc"
    {0, nullptr}};

StrLang g_lang = StrLang::Chinese;

template <size_t N>
const StrEntry *FindIn(const StrEntry (&table)[N], int id)
{
    for (const StrEntry &e : table)
        if (e.text && e.id == id)
            return &e;
    return nullptr;
}

const StrEntry *Find(StrLang lang, int id)
{
    return lang == StrLang::English ? FindIn(kStringsEn, id) : FindIn(kStrings, id);
}

} // namespace

void SetStrLang(StrLang lang)
{
    g_lang = lang;
}

StrLang CurrentStrLang()
{
    return g_lang;
}

QString LoadStrIn(StrLang lang, int id)
{
    const StrEntry *e = Find(lang, id);
    return e ? QString::fromUtf8(e->text) : QString();
}

bool HasStrIn(StrLang lang, int id)
{
    return Find(lang, id) != nullptr;
}

QString LoadStr(int id)
{
    return LoadStrIn(g_lang, id);
}

bool HasStr(int id)
{
    return HasStrIn(g_lang, id);
}

QString LoadStrPart(int id, int part)
{
    const QString text = LoadStr(id);
    const int nl = text.indexOf(QLatin1Char('\n'));
    if (nl < 0)
        return part == 0 ? text : QString();
    return part == 0 ? text.left(nl) : text.mid(nl + 1);
}

std::vector<int> AllStrIds(StrLang lang)
{
    std::vector<int> ids;
    auto collect = [&ids](const auto &table) {
        for (const StrEntry &e : table)
            if (e.text)
                ids.push_back(e.id);
    };
    if (lang == StrLang::English)
        collect(kStringsEn);
    else
        collect(kStrings);
    return ids;
}
