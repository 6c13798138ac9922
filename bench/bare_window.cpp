// The yardstick for the desktop program's start-up: a bare Qt main window of
// the same build, with a menu bar, three toolbars, a dock with a list and a
// text browser showing a page, and nothing else. It does nothing on its own;
// bench/first_window times how long it takes to show itself. With --zh its
// texts are Chinese, as the desktop program's are by default: the toolkit
// then also finds and loads a font with the Chinese glyphs.
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
    const bool zh = app.arguments().contains(QStringLiteral("--zh"));
    const auto text = [zh](const char *en, const char *chinese) {
        return QString::fromUtf8(zh ? chinese : en);
    };
    QMainWindow window;
    window.setWindowTitle(text("Bare window", "空白窗口"));

    const QStyle::StandardPixmap icons[] = {QStyle::SP_FileIcon,         QStyle::SP_DirOpenIcon,
                                            QStyle::SP_DialogSaveButton, QStyle::SP_BrowserReload,
                                            QStyle::SP_MediaPlay,        QStyle::SP_DialogHelpButton};
    const QString titles[] = {text("File", "文件"), text("Edit", "编辑"), text("View", "视图"),
                              text("Device", "设备"), text("Help", "帮助")};
    for (const QString &title : titles) {
        QMenu *menu = window.menuBar()->addMenu(title);
        for (int i = 0; i < 6; ++i)
            menu->addAction(window.style()->standardIcon(icons[i]), QStringLiteral("%1 %2").arg(title).arg(i));
    }
    for (int row = 0; row < 3; ++row) {
        QToolBar *bar = window.addToolBar(QStringLiteral("Bar %1").arg(row));
        for (QStyle::StandardPixmap icon : icons)
            bar->addAction(window.style()->standardIcon(icon), text("Tool", "工具"));
        if (row == 0)
            window.addToolBarBreak();
    }

    auto *dock = new QDockWidget(text("Files", "文件"), &window);
    auto *list = new QListWidget(dock);
    for (int i = 0; i < 5; ++i)
        list->addItem(QStringLiteral("picture_%1.jpg").arg(i));
    dock->setWidget(list);
    window.addDockWidget(Qt::LeftDockWidgetArea, dock);

    auto *page = new QTextBrowser(&window);
    page->setHtml(zh ? QStringLiteral("<h1>欢迎</h1><p>打开图象或字库，连接终端，或者运行批处理文件。</p>"
                                      "<ul><li><a href='#open'>打开</a></li><li><a href='#connect'>连接</a></li>"
                                      "<li><a href='#batch'>批处理</a></li></ul>")
                     : QStringLiteral("<h1>Welcome</h1><p>Open a picture or a font library, connect a terminal, "
                                      "or run a batch file.</p><ul><li><a href='#open'>Open</a></li>"
                                      "<li><a href='#connect'>Connect</a></li><li><a href='#batch'>Batch</a></li></ul>"));
    window.setCentralWidget(page);
    window.statusBar()->showMessage(text("Ready", "就绪"));
    window.resize(1024, 720);
    window.show();
    return app.exec();
}
