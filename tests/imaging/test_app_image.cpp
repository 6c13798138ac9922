// The image service (file types, open filters) and the remembered folders.
#include "imaging/app_image.h"
#include "imaging/init_dirs.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

bool TwoDecoders(std::vector<CImageDecoder> *out)
{
    out->clear();
    out->push_back({QStringLiteral("D1"), {QStringLiteral("*.BMP"), QStringLiteral("**.dib")}, "image/bmp"});
    out->push_back({QStringLiteral("D2"), {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}, "image/jpeg"});
    return true;
}

} // namespace

TEST(AppImage, StartupIsIdempotent)
{
    CAppImage image;
    EXPECT_FALSE(image.IsStarted());
    EXPECT_TRUE(image.Startup());
    EXPECT_TRUE(image.Startup());
    EXPECT_TRUE(image.IsStarted());
    image.Shutdown();
    EXPECT_FALSE(image.IsStarted());
}

TEST(AppImage, ExtensionTableFromDecoders)
{
    CAppImage image(&TwoDecoders);
    EXPECT_TRUE(image.IsSupportedImage(QStringLiteral("/x/PHOTO.JPG")));
    EXPECT_EQ(image.ExtensionKeys(), (QStringList{QStringLiteral(".bmp"), QStringLiteral(".dib"),
                                                  QStringLiteral(".jpg"), QStringLiteral(".jpeg")}));
    ASSERT_EQ(image.ExtensionDecoders().size(), 4u);
    EXPECT_EQ(image.ExtensionDecoders()[3], QByteArray("image/jpeg"));
    EXPECT_TRUE(image.IsSupportedImage(QStringLiteral("photo.jpg")));
    EXPECT_TRUE(image.IsSupportedImage(QStringLiteral("a.b.Dib")));
    EXPECT_FALSE(image.IsSupportedImage(QStringLiteral("readme")));
    EXPECT_FALSE(image.IsSupportedImage(QStringLiteral("/dir.jpg/readme")));
    EXPECT_FALSE(image.IsSupportedImage(QStringLiteral("photo.jpg.txt")));
    EXPECT_FALSE(image.IsSupportedImage(QString()));
    EXPECT_FALSE(image.IsSupportedImage(QStringLiteral("photo.")));
}

TEST(AppImage, PathExtension)
{
    EXPECT_EQ(PathExtension(QStringLiteral("/a/b.c/name.Png")), QStringLiteral(".Png"));
    EXPECT_EQ(PathExtension(QStringLiteral("/a/b.c/name")), QString());
    EXPECT_EQ(PathExtension(QStringLiteral("name.")), QStringLiteral("."));
    EXPECT_EQ(PathExtension(QStringLiteral(".hidden")), QStringLiteral(".hidden"));
    EXPECT_EQ(PathExtension(QStringLiteral("my.photo copy")), QString());
}

TEST(AppImage, FilterStructureBuiltOnce)
{
    CAppImage image(&TwoDecoders);
    const QString expected =
        QStringLiteral("L (*.BMP **.dib *.jpg *.jpeg);;D1 (*.BMP **.dib);;D2 (*.jpg *.jpeg)");
    EXPECT_EQ(image.GetOpenFilter(QStringLiteral("L")), expected);
    EXPECT_EQ(image.GetOpenFilter(QStringLiteral("other")), expected); // later labels are ignored

    CAppImage unlabelled(&TwoDecoders);
    EXPECT_EQ(unlabelled.GetOpenFilter(), QStringLiteral("D1 (*.BMP **.dib);;D2 (*.jpg *.jpeg)"));
}

TEST(AppImage, NoDecodersAndFailingQueries)
{
    CAppImage none([](std::vector<CImageDecoder> *out) {
        out->clear();
        return true;
    });
    EXPECT_EQ(none.GetOpenFilter(QStringLiteral("L")), QString());
    EXPECT_FALSE(none.IsSupportedImage(QStringLiteral("a.png")));

    // A failed query leaves the table empty; the next call asks again.
    int calls = 0;
    CAppImage flaky([&calls](std::vector<CImageDecoder> *out) {
        ++calls;
        if (calls == 1)
            return false;
        return TwoDecoders(out);
    });
    EXPECT_FALSE(flaky.IsSupportedImage(QStringLiteral("a.jpg")));
    EXPECT_TRUE(flaky.IsSupportedImage(QStringLiteral("a.jpg")));
    EXPECT_EQ(calls, 2);
}

TEST(AppImage, InstalledDecoders)
{
    CAppImage image;
    for (const char *name : {"a.png", "b.JPG", "c.jpeg", "d.bmp", "e.gif"})
        EXPECT_TRUE(image.IsSupportedImage(QString::fromLatin1(name))) << name;
    EXPECT_FALSE(image.IsSupportedImage(QStringLiteral("font.fnt")));
    EXPECT_FALSE(image.IsSupportedImage(QStringLiteral("font.bin")));

    std::vector<CImageDecoder> decoders;
    ASSERT_TRUE(CAppImage::InstalledDecoders(&decoders));
    const QString filter = image.GetOpenFilter(QStringLiteral("所有支持的图象类型"));
    ASSERT_TRUE(filter.startsWith(QStringLiteral("所有支持的图象类型 (")));
    // The label entry, then one entry per decoder.
    const QStringList entries = filter.split(QStringLiteral(";;"));
    EXPECT_EQ(entries.size(), static_cast<int>(decoders.size()) + 1);
    EXPECT_TRUE(entries.first().contains(QStringLiteral("*.png")));
    EXPECT_TRUE(entries.first().contains(QStringLiteral("*.jpg")));
    for (const QString &entry : entries)
        EXPECT_TRUE(entry.endsWith(QLatin1Char(')'))) << qPrintable(entry);
}

TEST(OpenFilters, FontFilterAndConversion)
{
    EXPECT_EQ(FontOpenFilter(), QStringLiteral("字体文件 (*.fnt *.bin);;所有文件 (*)"));
    EXPECT_EQ(QtFilterFromPipes(QStringLiteral("A|*.a;*.b|B (*.c)|*.c||")),
              QStringLiteral("A (*.a *.b);;B (*.c)"));
    EXPECT_EQ(QtFilterFromPipes(QString()), QString());
}

TEST(InitDirs, ChosenFileFolderIsRemembered)
{
    EXPECT_EQ(FolderOfChosenFile(QStringLiteral("/home/u/pics/a.png")), QStringLiteral("/home/u/pics/"));
    EXPECT_EQ(FolderOfChosenFile(QStringLiteral("/a.png")), QStringLiteral("/"));
    EXPECT_EQ(FolderOfChosenFile(QStringLiteral("a.png")), QString());

    // Cut to 260 characters first: a longer path yields a folder above it.
    const QString deep = QStringLiteral("/") + QString(250, QLatin1Char('d')) + QStringLiteral("/") +
                         QString(20, QLatin1Char('e')) + QStringLiteral("/f.png");
    EXPECT_EQ(FolderOfChosenFile(deep),
              QStringLiteral("/") + QString(250, QLatin1Char('d')) + QStringLiteral("/"));

    CInitDirs dirs;
    dirs.picture = QStringLiteral("/old/");
    RememberFolder(&dirs, InitDirKind::Font, {QStringLiteral("/f/one.bin"), QStringLiteral("/g/two.bin")});
    EXPECT_EQ(dirs.font, QStringLiteral("/f/"));
    EXPECT_EQ(dirs.picture, QStringLiteral("/old/"));
    RememberFolder(&dirs, InitDirKind::Picture, {});
    EXPECT_EQ(dirs.picture, QStringLiteral("/old/"));
    RememberFolder(&dirs, InitDirKind::Batch, {QStringLiteral("/b/x.kbz")});
    EXPECT_EQ(dirs.batch, QStringLiteral("/b/"));
}

TEST(InitDirs, ProfileValues)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("profile.ini"));
    {
        QSettings profile(file, QSettings::IniFormat);
        CInitDirs dirs = ReadInitDirs(profile);
        EXPECT_TRUE(dirs.font.isEmpty());
        EXPECT_TRUE(dirs.picture.isEmpty());
        EXPECT_TRUE(dirs.batch.isEmpty());
        dirs.font = QStringLiteral("/fonts/");
        dirs.picture = QStringLiteral("/图片/");
        dirs.batch = QStringLiteral("/batch/");
        WriteInitDirs(profile, dirs);
    }
    QSettings profile(file, QSettings::IniFormat);
    EXPECT_EQ(profile.value(QStringLiteral("Settings/FontInitDir")).toString(), QStringLiteral("/fonts/"));
    EXPECT_EQ(profile.value(QStringLiteral("Settings/PictureInitDir")).toString(), QStringLiteral("/图片/"));
    EXPECT_EQ(profile.value(QStringLiteral("Settings/BatchInitDir")).toString(), QStringLiteral("/batch/"));
    EXPECT_EQ(ReadInitDirs(profile).picture, QStringLiteral("/图片/"));
}
