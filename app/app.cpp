#include "app/app.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <cstdio>

#include "res/commands.h"
#include "res/profile.h"
#include "res/resource.h"
#include "res/str_lang.h"
#include "res/strings.h"
#include "app/app_frame.h"
#include "app/command_line.h"
#include "shell/file_list.h"
#include "shell/icons.h"
#include "app/quit_signals.h"

CApp::CApp(int &argc, char **argv) : QApplication(argc, argv)
{
    // The window is matched to its desktop entry (and icon) by this name.
    setDesktopFileName(QStringLiteral(QEL_APP_ID));
    SetAppImageService(&m_image);
}

CApp::~CApp()
{
    m_quitSignals.reset();
    m_frame.reset();
    m_image.Shutdown();
    SetAppImageService(nullptr);
}

void CApp::InstallToolkitTranslation()
{
    // The toolkit's own dialogs (file and colour choosers, standard buttons)
    // in Chinese too. Without the translation files they stay in English.
    if (CurrentStrLang() != StrLang::Chinese)
        return;
    auto *translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    else
        delete translator;
}

bool CApp::ReadCommandLine(int *exitCode)
{
    // The language first: every text from here on is read in it.
    SetStrLang(ChooseStrLang(LangArgument(arguments())));
    InstallToolkitTranslation();
    const CCommandLine line = CCommandLine::Parse(arguments());
    *exitCode = line.outcome == CCommandLine::Error ? 1 : 0;
    if (line.outcome == CCommandLine::Start) {
        m_files = line.files;
        return true;
    }
    std::FILE *out = line.outcome == CCommandLine::Error ? stderr : stdout;
    std::fputs(line.text.toUtf8().constData(), out);
    if (!line.text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', out);
    return false;
}

CApp *CApp::Get()
{
    return qobject_cast<CApp *>(QCoreApplication::instance());
}

bool CApp::InitInstance()
{
    // 1-2: the toolkit and the XML/drag-and-drop services need no start-up
    // of their own here; the message stays with this step.
    setWindowIcon(ApplicationIcon());

    // 3: the imaging layer.
    if (!m_image.Startup()) {
        QMessageBox::critical(nullptr, AppTitle(), LoadStr(IDS_GDI_INIT_FAILED));
        return false;
    }

    // 4: the profile lives under KDW\<application title>, the Chinese one
    // in every language.
    setOrganizationName(QStringLiteral("KDW"));
    setApplicationName(ProfileTitle());

    // 7: the command line was read by ReadCommandLine. A named file waits
    // for the file list; the main frame is created either way.

    m_frame = std::make_unique<CAppFrame>();
    // What the first window does not show (the ports) waits until it is drawn.
    m_frame->DeferUntilShown();
    if (!m_frame->Create()) {
        m_frame.reset();
        return false;
    }

    // A kill, a logout or Ctrl+C ends the program as "退出" does.
    m_quitSignals = std::make_unique<CQuitSignals>([this] { QuitFromSystem(); });

    // 8: show the main window, then open the files named on the command
    // line through the file list.
    m_frame->show();
    if (!m_files.isEmpty())
        m_frame->FileList()->OpenDocuments(m_files);
    return true;
}

void CApp::QuitFromSystem()
{
    if (m_frame)
        m_frame->CloseForSystem();
    QCoreApplication::quit();
}

int CApp::ExitInstance(int code)
{
    m_quitSignals.reset();
    m_frame.reset();
    m_image.Shutdown();
    return code;
}

