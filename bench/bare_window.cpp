// The yardstick for the desktop program's start-up: a bare Qt main window of
// the same build, with a menu bar, three toolbars, a dock with a list and a
// text browser showing a page, and nothing else. It does nothing on its own;
// bench/first_window times how long it takes to show itself.
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));

    const QStyle::StandardPixmap icons[] = {QStyle::SP_FileIcon,         QStyle::SP_DirOpenIcon,
                                            QStyle::SP_DialogSaveButton, QStyle::SP_BrowserReload,
                                            QStyle::SP_MediaPlay,        QStyle::SP_DialogHelpButton};
    for (const char *title : {"File", "Edit", "View", "Device", "Help"}) {
        QMenu *menu = window.menuBar()->addMenu(QString::fromLatin1(title));
        for (int i = 0; i < 6; ++i)
            menu->addAction(window.style()->standardIcon(icons[i]), QStringLiteral("%1 %2").arg(title).arg(i));
    }
    for (int row = 0; row < 3; ++row) {
        QToolBar *bar = window.addToolBar(QStringLiteral("Bar %1").arg(row));
        for (QStyle::StandardPixmap icon : icons)
            bar->addAction(window.style()->standardIcon(icon), QStringLiteral("Tool"));
        if (row == 0)
            window.addToolBarBreak();
    }

    auto *dock = new QDockWidget(QStringLiteral("Files"), &window);
    auto *list = new QListWidget(dock);
    for (int i = 0; i < 5; ++i)
        list->addItem(QStringLiteral("picture_%1.jpg").arg(i));
    dock->setWidget(list);
    window.addDockWidget(Qt::LeftDockWidgetArea, dock);

    auto *page = new QTextBrowser(&window);
    page->setHtml(QStringLiteral("<h1>Welcome</h1><p>Open a picture or a font library, connect a terminal, "
                                 "or run a batch file.</p><ul><li><a href='#open'>Open</a></li>"
                                 "<li><a href='#connect'>Connect</a></li><li><a href='#batch'>Batch</a></li></ul>"));
    window.setCentralWidget(page);
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.resize(1024, 720);
    window.show();
    return app.exec();
}
