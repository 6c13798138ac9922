#include "imaging/init_dirs.h"

#include <QSettings>

namespace
{

constexpr int kMaxPath = 260;

} // namespace

QString &CInitDirs::Of(InitDirKind kind)
{
    switch (kind) {
    case InitDirKind::Font:
        return font;
    case InitDirKind::Picture:
        return picture;
    case InitDirKind::Batch:
        break;
    }
    return batch;
}

const QString &CInitDirs::Of(InitDirKind kind) const
{
    return const_cast<CInitDirs *>(this)->Of(kind);
}

QString InitDirValueName(InitDirKind kind)
{
    switch (kind) {
    case InitDirKind::Font:
        return QStringLiteral("FontInitDir");
    case InitDirKind::Picture:
        return QStringLiteral("PictureInitDir");
    case InitDirKind::Batch:
        break;
    }
    return QStringLiteral("BatchInitDir");
}

CInitDirs ReadInitDirs(QSettings &profile)
{
    CInitDirs dirs;
    profile.beginGroup(QStringLiteral("Settings"));
    for (InitDirKind kind : {InitDirKind::Font, InitDirKind::Picture, InitDirKind::Batch})
        dirs.Of(kind) = profile.value(InitDirValueName(kind), QString()).toString();
    profile.endGroup();
    return dirs;
}

void WriteInitDirs(QSettings &profile, const CInitDirs &dirs)
{
    profile.beginGroup(QStringLiteral("Settings"));
    for (InitDirKind kind : {InitDirKind::Font, InitDirKind::Picture, InitDirKind::Batch})
        profile.setValue(InitDirValueName(kind), dirs.Of(kind));
    profile.endGroup();
}

QString FolderOfChosenFile(const QString &path)
{
    const QString cut = path.left(kMaxPath);
    const int slash = cut.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    return cut.left(slash + 1);
}

void RememberFolder(CInitDirs *dirs, InitDirKind kind, const QStringList &chosen)
{
    if (chosen.isEmpty())
        return;
    const QString folder = FolderOfChosenFile(chosen.first());
    if (!folder.isEmpty())
        dirs->Of(kind) = folder;
}
