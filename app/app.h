// The application object: start-up in its documented order, the image
// service, and the main frame it creates.
#pragma once

#include <QApplication>
#include <QStringList>
#include <memory>

#include "imaging/app_image.h"

class CAppFrame;
class CQuitSignals;

class CApp : public QApplication {
    Q_OBJECT
public:
    CApp(int &argc, char **argv);
    ~CApp() override;

    // Chooses the interface language, then reads the command line.
    // --help, --version and bad options end the program before start-up:
    // false, with the text printed and *exitCode set. Otherwise the files
    // named are kept for the file list.
    bool ReadCommandLine(int *exitCode);
    // Start-up; false ends the program (after any message it showed).
    bool InitInstance();
    // Exit: destroys the frame, then stops the image service. Returns code.
    int ExitInstance(int code);

    CAppImage &Image() { return m_image; }
    CAppFrame *MainFrame() const { return m_frame.get(); }
    // Files named on the command line, kept for the file list.
    const QStringList &CommandLineFiles() const { return m_files; }

    static CApp *Get();

    // What a quit request of the system does (a signal, the session
    // manager): the main window closes as by "退出", then every event loop
    // ends, modal ones included.
    void QuitFromSystem();

private:
    void InstallToolkitTranslation();

    CAppImage m_image;
    std::unique_ptr<CAppFrame> m_frame;
    std::unique_ptr<CQuitSignals> m_quitSignals;
    QStringList m_files;
};
