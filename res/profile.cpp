#include "res/profile.h"

#include "res/resource.h"
#include "res/strings.h"

QString AppTitle()
{
    return LoadStr(IDR_MAINFRAME).section(QLatin1Char('\n'), 0, 0);
}

QString ProfileTitle()
{
    return LoadStrIn(StrLang::Chinese, IDR_MAINFRAME).section(QLatin1Char('\n'), 0, 0);
}

std::unique_ptr<QSettings> OpenProfile()
{
    return std::make_unique<QSettings>(QStringLiteral("KDW"), ProfileTitle());
}
