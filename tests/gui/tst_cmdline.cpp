// The command line of qeltool: files flow through in order, --help and
// --version end the program with their text, bad options with an error; the
// parser's own headings and errors are in Chinese. A kill, Ctrl+C or a
// logout ends the running program as "退出" does.
#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

#include <csignal>

#include "app/command_line.h"

class TestCmdLine : public QObject {
    Q_OBJECT
private slots:
    void outcomes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("text");
        const QString p = QStringLiteral("/usr/bin/qeltool");
        QTest::newRow("none") << QStringList{p} << int(CCommandLine::Start) << QStringList() << QString();
        QTest::newRow("files in order")
            << QStringList{p, QStringLiteral("b.png"), QStringLiteral("a.kbz")} << int(CCommandLine::Start)
            << QStringList{QStringLiteral("b.png"), QStringLiteral("a.kbz")} << QString();
        QTest::newRow("a file that looks like an option")
            << QStringList{p, QStringLiteral("x.fnt"), QStringLiteral("--"), QStringLiteral("-y.png")}
            << int(CCommandLine::Start) << QStringList{QStringLiteral("x.fnt"), QStringLiteral("-y.png")} << QString();
        QTest::newRow("unknown option") << QStringList{p, QStringLiteral("--bogus"), QStringLiteral("a.png")}
                                        << int(CCommandLine::Error) << QStringList()
                                        << QStringLiteral("qeltool: 未知选项“bogus”。");
        QTest::newRow("language and files")
            << QStringList{p, QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("a.png")}
            << int(CCommandLine::Start) << QStringList{QStringLiteral("a.png")} << QString();
        QTest::newRow("unknown language") << QStringList{p, QStringLiteral("--lang=fr")} << int(CCommandLine::Error)
                                          << QStringList() << QStringLiteral("qeltool: 未知的界面语言“fr”，应为 zh 或 en。");
        QTest::newRow("value to a flag") << QStringList{p, QStringLiteral("--help=yes")} << int(CCommandLine::Error)
                                         << QStringList() << QStringLiteral("qeltool: “--help”后不应有值。");
    }
    void outcomes()
    {
        QFETCH(QStringList, args);
        QFETCH(int, outcome);
        QFETCH(QStringList, files);
        QFETCH(QString, text);
        const CCommandLine line = CCommandLine::Parse(args);
        QCOMPARE(int(line.outcome), outcome);
        QCOMPARE(line.files, files);
        QCOMPARE(line.text, text);
    }

    void helpAndVersion()
    {
        for (const QString &opt : {QStringLiteral("-h"), QStringLiteral("--help")}) {
            const CCommandLine help = CCommandLine::Parse({QStringLiteral("qeltool"), opt, QStringLiteral("a.png")});
            QCOMPARE(int(help.outcome), int(CCommandLine::Help));
            QVERIFY(help.files.isEmpty());
            const QStringList lines = help.text.split(QLatin1Char('\n'));
            QVERIFY2(lines.value(0).startsWith(QStringLiteral("用法：")), qPrintable(help.text));
            QVERIFY(lines.value(0).endsWith(QStringLiteral(" [选项] [文件...]")));
            QCOMPARE(lines.value(1), QStringLiteral("QEL-A 系列串行 TFT 显示终端的开发和测试工具"));
            QVERIFY(lines.contains(QStringLiteral("选项：")));
            QVERIFY(lines.contains(QStringLiteral("参数：")));
            QVERIFY(help.text.contains(QRegularExpression(QStringLiteral("-h, --help +显示帮助"))));
            QVERIFY(help.text.contains(QRegularExpression(QStringLiteral("-v, --version +显示版本"))));
            QVERIFY(help.text.contains(QRegularExpression(QStringLiteral("\\[文件\\.\\.\\.\\] +要打开的文件"))));
        }
        const CCommandLine version = CCommandLine::Parse({QStringLiteral("/opt/x/qeltool"), QStringLiteral("-v")});
        QCOMPARE(int(version.outcome), int(CCommandLine::Version));
        QVERIFY2(QRegularExpression(QStringLiteral("^qeltool \\d+\\.\\d+\\.\\d+\n$")).match(version.text).hasMatch(),
                 qPrintable(version.text));
    }

    // Without any display the program says so (or prints its help, version
    // or command-line error) and exits instead of the toolkit aborting.
    void withoutDisplay()
    {
        const struct {
            QStringList args;
            int code;
            const char *output;
        } cases[] = {
            {{QStringLiteral("--bogus")}, 1, "qeltool: 未知选项“bogus”。"},
            {{QStringLiteral("a.png")}, 1, "qeltool: 没有可用的图形显示"},
            {{QStringLiteral("--version")}, 0, "qeltool "},
        };
        for (const auto &c : cases) {
            QProcess tool;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                env.remove(QString::fromLatin1(name));
            tool.setProcessEnvironment(env);
            tool.start(qEnvironmentVariable("QELTOOL"), c.args);
            QVERIFY2(tool.waitForFinished(30000), qPrintable(c.args.join(' ')));
            const QString out = QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
            QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
            QCOMPARE(tool.exitCode(), c.code);
            QVERIFY2(out.contains(QString::fromUtf8(c.output)), qPrintable(out));
        }
    }

    // The signals a session sends end the program through "退出": the
    // shutdown writes of the profile run (the File menu's recent files are
    // written only then) and the exit is a normal one.
    void systemQuitRunsTheShutdownWrites_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void systemQuitRunsTheShutdownWrites()
    {
        QFETCH(int, signal);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString picture = home.filePath(QStringLiteral("a.png"));
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(picture, "PNG"));
        const QString batch = home.filePath(QStringLiteral("run.kbz"));
        QFile kbz(batch);
        QVERIFY(kbz.open(QIODevice::WriteOnly));
        kbz.close();
        QDir().mkpath(home.filePath(QStringLiteral("ports")));

        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QEL_PORT_DIR"), home.filePath(QStringLiteral("ports")));
        env.insert(QStringLiteral("QEL_SYSTEM_PORTS"), QStringLiteral("0"));
        tool.setProcessEnvironment(env);
        tool.start(qEnvironmentVariable("QELTOOL"), {picture, batch});
        QVERIFY(tool.waitForStarted(30000));

        // The recent batch list reaches the profile as soon as the batch file
        // is listed, which the program does after the picture.
        auto profilePath = [&home]() {
            const QDir dir(home.filePath(QStringLiteral("config/KDW")));
            const QStringList files = dir.entryList({QStringLiteral("*.conf")}, QDir::Files);
            return files.isEmpty() ? QString() : dir.filePath(files.first());
        };
        auto value = [&profilePath](const QString &key) {
            const QString path = profilePath();
            return path.isEmpty() ? QString() : QSettings(path, QSettings::IniFormat).value(key).toString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(value(QStringLiteral("Recent Batch Files/file1")), batch, 30000);
        QVERIFY(value(QStringLiteral("Recent File List/File1")).isEmpty());

        ::kill(static_cast<pid_t>(tool.processId()), signal);
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(value(QStringLiteral("Recent File List/File1")), picture);
        QCOMPARE(value(QStringLiteral("Recent Batch Files/file1")), batch);
    }
};

QTEST_MAIN(TestCmdLine)
#include "tst_cmdline.moc"
