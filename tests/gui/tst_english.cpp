// The main window in English: menu titles, the language submenu, the home
// page, status messages and the remembered port; a language chosen in the
// View menu is kept in the profile for the next start while the running
// texts stay. The language a
// program starts in follows --lang, QEL_LANG and the profile in that order.
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "res/commands.h"
#include "res/profile.h"
#include "res/str_lang.h"
#include "app/app_frame.h"
#include "link/ui/bar_dev.h"
#include "shell/bar_menu.h"
#include "shell/bar_status.h"
#include "shell/home_page.h"
#include "shell/home_view.h"
#include "tst_frame_support.h"

class TestEnglish : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_env = new CTestEnv;
        SetStrLang(StrLang::English);
        m_frame = new CAppFrame;
        QVERIFY(m_frame->Create());
        m_frame->show();
    }
    void cleanupTestCase()
    {
        delete m_frame;
        delete m_env;
        SetStrLang(StrLang::Chinese);
    }

    void menusAndWindow()
    {
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("KDW-[QEL Terminal-A Series][V1.2]"));
        const QList<QAction *> tops = m_frame->BarMenu()->actions();
        QStringList titles;
        for (QAction *a : tops)
            titles << a->text();
        QCOMPARE(titles, (QStringList{"&File", "&View", "&Device", "&Batch"}));
        QCOMPARE(tops.at(0)->menu()->actions().at(0)->text(), QStringLiteral("Open &Picture...\tCtrl+I"));
        QCOMPARE(tops.at(2)->menu()->actions().at(2)->text(), QStringLiteral("Backlight O&ff\tAlt+F"));
        // The language submenu closes the View menu and shows the language in use.
        QAction *last = tops.at(1)->menu()->actions().last();
        QCOMPARE(last->text(), QString::fromUtf8("语言 / &Language"));
        QVERIFY(last->menu());
        const QList<QAction *> langs = last->menu()->actions();
        QCOMPARE(langs.size(), 2);
        QCOMPARE(langs.at(0)->text(), QString::fromUtf8("中文(&C)"));
        QCOMPARE(langs.at(1)->text(), QStringLiteral("&English"));
        m_frame->UpdateCommandUi();
        QVERIFY(!langs.at(0)->isChecked());
        QVERIFY(langs.at(1)->isChecked());
    }

    // The longer English button texts still fit the toolbars of the window
    // at its first size: no button is pushed behind the overflow arrow.
    void toolBarsFit()
    {
        QVERIFY(QTest::qWaitForWindowExposed(m_frame));
        const QList<QToolBar *> bars = m_frame->findChildren<QToolBar *>();
        QVERIFY(!bars.isEmpty());
        for (QToolBar *bar : bars) {
            for (QToolButton *b : bar->findChildren<QToolButton *>())
                if (b->objectName() == QLatin1String("qt_toolbar_ext_button"))
                    QVERIFY2(!b->isVisible(), qPrintable(bar->windowTitle()));
        }
    }

    void statusBarAndHomePage()
    {
        CBarStatus *bar = m_frame->BarStatus();
        // No port in the test's port folder: the start-up refresh says so.
        QCOMPARE(bar->GetPaneText(0), QStringLiteral("Refreshing ports failed: no port found"));
        QCOMPARE(bar->GetPaneText(1), QStringLiteral("Resolution"));
        m_frame->ShowStatusMessage(STATUS_FAILURE, IDS_FILE_NOT_FOUND, "/tmp/a.png");
        QCOMPARE(bar->GetPaneText(0), QStringLiteral("File not found: /tmp/a.png"));
        auto *home = qobject_cast<CMyHomeView *>(m_frame->EnsureView(CAppFrame::VIEW_HOME));
        QVERIFY(home);
        const QString page = home->GetPage()->PageHtml();
        QVERIFY2(page.contains(QStringLiteral("Basic Tasks")) && page.contains(QStringLiteral("Connect Terminal")),
                 qPrintable(page.left(400)));
        QVERIFY(!page.contains(QString::fromUtf8("基本功能")));
    }

    void choiceWaitsForTheNextStart()
    {
        QAction *zh = m_frame->Action(ID_VIEW_LANG_ZH);
        QAction *en = m_frame->Action(ID_VIEW_LANG_EN);
        zh->trigger();
        m_frame->UpdateCommandUi();
        QCOMPARE(m_frame->BarStatus()->GetPaneText(0), QStringLiteral("Language saved; it applies at the next start"));
        QCOMPARE(OpenProfile()->value(QStringLiteral("Settings/Language")).toString(), QStringLiteral("zh"));
        QVERIFY(zh->isChecked());
        QVERIFY(!en->isChecked());
        QCOMPARE(CurrentStrLang(), StrLang::English);
        QCOMPARE(m_frame->BarMenu()->actions().at(0)->text(), QStringLiteral("&File"));
        en->trigger();
        m_frame->UpdateCommandUi();
        QCOMPARE(OpenProfile()->value(QStringLiteral("Settings/Language")).toString(), QStringLiteral("en"));
        QVERIFY(en->isChecked() && !zh->isChecked());
    }

    void portRememberedInChinese()
    {
        // The profile names a virtual port as the Chinese interface shows it;
        // the English one finds it and keeps that name.
        QVERIFY(m_env->AddVirtualPort(QStringLiteral("qelsim-a"), QStringLiteral("/dev/null")));
        QVERIFY(m_env->AddVirtualPort(QStringLiteral("qelsim-b"), QStringLiteral("/dev/null")));
        OpenProfile()->setValue(QStringLiteral("Settings/Port"), QString::fromUtf8("虚拟终端 (qelsim-b)"));
        CBarDev *bar = m_frame->BarDev();
        bar->GetPortList()->setCurrentIndex(-1);
        bar->RefreshPorts();
        QCOMPARE(bar->GetPortList()->currentText(), QStringLiteral("Virtual terminal (qelsim-b)"));
        OpenProfile()->remove(QStringLiteral("Settings/Port"));
        bar->SaveSelection();
        QCOMPARE(OpenProfile()->value(QStringLiteral("Settings/Port")).toString(),
                 QString::fromUtf8("虚拟终端 (qelsim-b)"));
        m_env->ClearPorts();
    }

    void precedence_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("env");
        QTest::addColumn<QString>("profile");
        QTest::addColumn<bool>("english");
        const QString p = QStringLiteral("qeltool");
        QTest::newRow("nothing") << QStringList{p} << "" << "" << false;
        QTest::newRow("profile") << QStringList{p} << "" << "en" << true;
        QTest::newRow("environment over profile") << QStringList{p} << "zh" << "en" << false;
        QTest::newRow("command line over all") << QStringList{p, "--lang", "en"} << "zh" << "zh" << true;
        QTest::newRow("--lang=") << QStringList{p, "--lang=zh"} << "en" << "en" << false;
        QTest::newRow("bad values pass on") << QStringList{p, "--lang", "fr"} << "klingon" << "EN" << true;
        QTest::newRow("locale form") << QStringList{p} << "en_US.UTF-8" << "" << true;
        QTest::newRow("after --: a file") << QStringList{p, "--", "--lang", "en"} << "" << "" << false;
        QTest::newRow("--lang without value") << QStringList{p, "--lang"} << "" << "en" << true;
    }
    void precedence()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, env);
        QFETCH(QString, profile);
        QFETCH(bool, english);
        qputenv("QEL_LANG", env.toUtf8());
        OpenProfile()->setValue(QStringLiteral("Settings/Language"), profile);
        const StrLang lang = ChooseStrLang(LangArgument(args));
        qunsetenv("QEL_LANG");
        QCOMPARE(lang == StrLang::English, english);
    }

private:
    CTestEnv *m_env = nullptr;
    CAppFrame *m_frame = nullptr;
};

QTEST_MAIN(TestEnglish)
#include "tst_english.moc"
