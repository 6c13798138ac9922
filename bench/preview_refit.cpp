// The picture preview of the desktop program re-fitted after connecting: the
// main window shows a 4000 x 3000 JPEG at its own size (no terminal), a
// virtual terminal of 800 x 480 is connected, and the preview is fitted to it
// as the connection asks. Each round puts the picture back at its own size
// first, then times the refit (decode, fit, repaint of the window).
// A second figure times a refit at the same size (another background
// colour), which starts from the picture already decoded.
// Prints "refit_ms <median> <min> <max>" and "recolour_ms <median> <min> <max>"
// over the rounds. --picture names the picture; it is made there when
// missing (so that other programs can be timed on the same file).
// Usage: preview_refit [ROUNDS] [--picture FILE]
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_pictures.h"
#include "imaging/ui/frame_previews.h"
#include "imaging/ui/picture_view.h"
#include "link/terminal.h"
#include "res/commands.h"
#include "app/app_frame.h"
#include "shell/file_list.h"
#include "sim_process.h"

namespace {

void PrintFigure(const char *name, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%s %.1f %.1f %.1f\n", name, ms[ms.size() / 2], ms.front(), ms.back());
}

} // namespace

int main(int argc, char **argv)
{
    int rounds = 7;
    QString picture;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = argv[i];
        if (arg == "--picture" && i + 1 < argc)
            picture = QString::fromLocal8Bit(argv[++i]);
        else
            rounds = std::max(1, arg.toInt());
    }
    QTemporaryDir profile;
    UseBenchEnvironment(profile);
    QApplication app(argc, argv);

    if (picture.isEmpty())
        picture = profile.filePath(QStringLiteral("photo_4000x3000.jpg"));
    if (!QFileInfo::exists(picture)) {
        if (!MakePicture(4000, 3000).save(picture, "JPEG", 90)) {
            std::fprintf(stderr, "cannot write the test picture\n");
            return 1;
        }
    }
    CSim sim({QStringLiteral("--size"), QStringLiteral("800x480")});
    if (!sim.Ok()) {
        std::fprintf(stderr, "the virtual terminal did not start\n");
        return 1;
    }
    qputenv("QEL_PORT_DIR", sim.Dir().toUtf8());
    CAppFrame frame;
    if (!frame.Create()) {
        std::fprintf(stderr, "frame not created\n");
        return 1;
    }
    frame.show();
    // Opened without a terminal: shown at its own size.
    if (!frame.FileList()->OpenDocument(picture)) {
        std::fprintf(stderr, "cannot open %s\n", qUtf8Printable(picture));
        return 1;
    }
    QApplication::processEvents();
    CMyPictureView *view = PictureView(frame, false);
    frame.OnCommand(ID_DEV_CONNECT);
    QApplication::processEvents();
    const CDevInfo &info = frame.Terminal().Info();
    if (!view || !frame.Terminal().IsConnected() || view->PictureWidth() != info.width ||
        view->PictureHeight() != info.height) {
        std::fprintf(stderr, "not connected, or the preview was not re-fitted\n");
        return 1;
    }

    std::vector<double> refit, recolour;
    for (int i = 0; i < rounds; ++i) {
        // As it was before the connection.
        view->LoadPicture(picture, 0, 0);
        QApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        ReloadPreviewForConnection(frame);
        refit.push_back(clock.nsecsElapsed() / 1e6);
        if (view->PictureWidth() != info.width || !view->HasPicture()) {
            std::fprintf(stderr, "the refit failed\n");
            return 1;
        }
        QApplication::processEvents();
        clock.restart();
        view->SetBkColor(i % 2 ? 0x00FFFFFFu : 0x00000000u);
        view->ReloadPicture();
        recolour.push_back(clock.nsecsElapsed() / 1e6);
    }
    PrintFigure("refit_ms", refit);
    PrintFigure("recolour_ms", recolour);
    frame.OnCommand(ID_DEV_CONNECT);
    return 0;
}
