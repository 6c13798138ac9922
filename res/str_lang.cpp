#include "res/str_lang.h"

#include <QRegularExpression>

#include "res/profile.h"

namespace {

const char kProfileKey[] = "Settings/Language";

} // namespace

bool ParseStrLang(const QString &code, StrLang *lang)
{
    static const QRegularExpression suffix(QStringLiteral("[_.-].*$"));
    const QString base = QString(code).remove(suffix).trimmed().toLower();
    if (base == QLatin1String("zh"))
        *lang = StrLang::Chinese;
    else if (base == QLatin1String("en"))
        *lang = StrLang::English;
    else
        return false;
    return true;
}

QString StrLangCode(StrLang lang)
{
    return lang == StrLang::English ? QStringLiteral("en") : QStringLiteral("zh");
}

QString LangArgument(const QStringList &args)
{
    QString value;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--"))
            break;
        if (a == QLatin1String("--lang"))
            value = i + 1 < args.size() ? args[++i] : QString(QLatin1String(""));
        else if (a.startsWith(QLatin1String("--lang=")))
            value = a.mid(7);
    }
    return value;
}

StrLang ChooseStrLang(const QString &commandLineValue)
{
    StrLang lang = StrLang::Chinese;
    if (ParseStrLang(commandLineValue, &lang) || ParseStrLang(qEnvironmentVariable("QEL_LANG"), &lang) ||
        ParseStrLang(OpenProfile()->value(QLatin1String(kProfileKey)).toString(), &lang))
        return lang;
    return StrLang::Chinese;
}

void SaveStrLangChoice(StrLang lang)
{
    OpenProfile()->setValue(QLatin1String(kProfileKey), StrLangCode(lang));
}
