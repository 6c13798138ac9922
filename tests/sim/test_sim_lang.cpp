// The simulator's two languages: every text in both, the choice by --lang
// and QEL_LANG, and a terminal that answers the same in either.
#include "sim/sim_text.h"
#include "sim_harness.h"

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace qelsim;
using simtest::B;
using simtest::PtyClient;
using simtest::SimProcess;

namespace
{

const QRegularExpression kCjk(QStringLiteral("[\\x{3000}-\\x{303F}\\x{3400}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

QStringList Placeholders(const QString &text)
{
    QStringList out;
    static const QRegularExpression re(QStringLiteral("%\\d"));
    for (auto it = re.globalMatch(text); it.hasNext();)
        out << it.next().captured();
    return out;
}

struct SimRun {
    int code = -1;
    QString out, err;
};

SimRun RunSim(const QStringList &args, const QString &envLang)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (envLang.isNull())
        env.remove(QStringLiteral("QEL_LANG"));
    else
        env.insert(QStringLiteral("QEL_LANG"), envLang);
    p.setProcessEnvironment(env);
    p.start(QString::fromLocal8Bit(qgetenv("QELSIM")), QStringList{QStringLiteral("--headless")} + args);
    SimRun r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

TEST(SimTexts, EveryTextHasBothLanguagesWithTheSamePlaceholders)
{
    for (int i = 0; i < T_COUNT; ++i) {
        const SimText id = static_cast<SimText>(i);
        const QString zh = TxIn(SimLang::Chinese, id), en = TxIn(SimLang::English, id);
        EXPECT_FALSE(zh.isEmpty()) << i;
        EXPECT_FALSE(en.isEmpty()) << i;
        EXPECT_FALSE(en.contains(kCjk)) << i << ' ' << en.toStdString();
        EXPECT_EQ(Placeholders(zh), Placeholders(en)) << i << ' ' << en.toStdString();
    }
    EXPECT_TRUE(TxIn(SimLang::English, T_COUNT).isEmpty());
}

TEST(SimTexts, LanguageComesFromTheCommandLineElseTheEnvironment)
{
    struct Case {
        QStringList args;
        const char *env;
        SimLang lang;
    };
    const Case cases[] = {
        {{"qelsim"}, "", SimLang::Chinese},
        {{"qelsim", "--lang", "en"}, "", SimLang::English},
        {{"qelsim", "--lang=EN_us"}, "", SimLang::English},
        {{"qelsim", "-lang", "en"}, "", SimLang::English},
        {{"qelsim"}, "en_GB.UTF-8", SimLang::English},
        {{"qelsim", "--lang", "zh"}, "en", SimLang::Chinese},
        {{"qelsim", "--lang", "fr"}, "en", SimLang::English}, // a bad value is the parser's to report
        {{"qelsim"}, "de", SimLang::Chinese},
        {{"qelsim", "--", "--lang", "en"}, "", SimLang::Chinese},
        {{"qelsim", "--lang"}, "en", SimLang::English},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ChooseSimLang(c.args, QString::fromLatin1(c.env)), c.lang)
            << c.args.join(' ').toStdString() << " QEL_LANG=" << c.env;
}

TEST(SimTexts, HelpAndErrorsFollowTheLanguage)
{
    struct Case {
        QStringList args;
        QString env; // null: QEL_LANG unset
        int code;
        const char *text; // in stdout for help, the last line of stderr otherwise
        bool english;
    };
    const Case cases[] = {
        {{"--help", "--lang", "en"}, QString(), 0, "Terminal types (--profile):", true},
        {{"--help"}, QStringLiteral("en"), 0, "Faults (--fault, repeatable):", true},
        {{"--help"}, QString(), 0, "终端类型 (--profile)：", false},
        // Qt's headings read Chinese too.
        {{"--help"}, QString(), 0, "用法：", false},
        {{"--help"}, QString(), 0, "\n选项：\n", false},
        {{"--help"}, QString(), 0, "--firmware <X.Y>", false},
        {{"--help", "--lang", "en"}, QString(), 0, "\nOptions:\n", true},
        {{"--bpp", "7", "--lang", "en"},
         QString(),
         2,
         "qelsim: invalid bits per pixel: 7 (must be 16 or 24)\n",
         true},
        {{"--bpp", "7"}, QString(), 2, "qelsim: 颜色位数无效：7 (应为 16 或 24)\n", false},
        {{"--lang", "fr"}, QString(), 2, "qelsim: 未知的语言：fr (应为 zh 或 en)\n", false},
        {{"--lang", "fr"},
         QStringLiteral("en"),
         2,
         "qelsim: unknown language: fr (must be zh or en)\n",
         true},
        {{"--profile", "handshake2", "--size", "480x272"},
         QStringLiteral("en"),
         2,
         "qelsim: --size cannot be used with a handshake2 terminal (320x240, 16 bits and the slot count are "
         "fixed)\n",
         true},
    };
    // -V and --version print the program's version, as qelcli and qeltool do.
    for (const char *option : {"-V", "--version"}) {
        const SimRun r = RunSim({option}, QString());
        EXPECT_EQ(r.code, 0) << option;
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^qelsim \\d+\\.\\d+\\.\\d+\n$")).match(r.out).hasMatch())
            << option << " printed " << r.out.toStdString();
    }
    for (const Case &c : cases) {
        const SimRun r = RunSim(c.args, c.env);
        const std::string what = c.args.join(' ').toStdString() + " QEL_LANG=" + c.env.toStdString();
        EXPECT_EQ(r.code, c.code) << what << r.err.toStdString();
        if (c.code == 0) {
            EXPECT_TRUE(r.out.contains(QString::fromUtf8(c.text))) << what << r.out.toStdString();
            EXPECT_TRUE(r.out.contains(QStringLiteral("--lang <zh|en>"))) << what;
            EXPECT_EQ(r.out.contains(kCjk), !c.english) << what << r.out.toStdString();
        } else {
            // Qt may warn before (a missing XDG_RUNTIME_DIR): the message is the last line.
            EXPECT_TRUE(r.err.endsWith(QString::fromUtf8(c.text))) << what << '\n' << r.err.toStdString();
        }
    }
}

TEST(SimTexts, TerminalAnswersTheSameInEitherLanguage)
{
    const QByteArray deviceInfo = B({0xFD, 0x03, 0x00, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA});
    const QByteArray expected = QByteArray::fromHex("FA0076") +
                                "Version = 1.0\nResolution = 480x272\nMaxPictures = 50\nBitsPixel = 16\n"
                                "Baudrate = 115200\nMaxBaud = 115200\nHardFont = 0\n";
    for (const char *lang : {"zh", "en"}) {
        SimProcess sim;
        std::string why;
        ASSERT_TRUE(sim.Start({"--reply-delay", "0", "--lang", lang}, &why)) << why;
        PtyClient line;
        ASSERT_TRUE(line.Open(sim.Port(), 115200));
        EXPECT_EQ(line.Ask(deviceInfo, expected.size()).toHex(' '), expected.toHex(' ')) << lang;
        EXPECT_EQ(line.Ask(B({0xFD, 0x00, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}), 2).toHex(' '),
                  QByteArray("0b ff"))
            << lang;
    }
}
