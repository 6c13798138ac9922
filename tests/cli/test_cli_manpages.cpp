// The manual pages and --help name the same options: every option the
// programs print in their help is in their manual page, and every option the
// page names is one the program takes, so neither can fall behind.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include "cli_fixture.h"

using namespace clitest;

namespace {

QString SourceDir()
{
    // tests/data's parent is tests/, whose parent is the source tree.
    return QStringLiteral(QEL_TEST_DATA_DIR "/../..");
}

// "--name" and "-x" words; in a manual page written "\-\-name", "\-x".
QSet<QString> Options(const QString &text)
{
    QSet<QString> found;
    static const QRegularExpression re(QStringLiteral("(?:^|[\\s,\\[|(])(--?[a-zA-Z][a-z0-9-]*)"));
    for (auto it = re.globalMatch(text); it.hasNext();)
        found << it.next().captured(1);
    return found;
}

QString ManText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    // The sections that describe options: OPTIONS and COMMANDS.
    QString text;
    bool keep = false;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String(".SH ")))
            keep = line == QLatin1String(".SH OPTIONS") || line == QLatin1String(".SH COMMANDS");
        else if (keep)
            text += line + QLatin1Char('\n');
    }
    text.replace(QLatin1String("\\-"), QLatin1String("-"));
    // Font changes (\fB, \fR, \fI) and the macros' quotes are no words.
    text.replace(QRegularExpression(QStringLiteral("\\\\f[BIRP]")), QStringLiteral(" "));
    text.replace(QLatin1Char('"'), QLatin1Char(' '));
    return text;
}

QString Help(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(CliTest, ManualPagesNameTheOptionsOfHelp)
{
    const struct {
        QString program;
        QString page;
    } programs[] = {
        {qEnvironmentVariable("QELCLI"), SourceDir() + QStringLiteral("/cli/qelcli.1")},
        {qEnvironmentVariable("QELSIM"), SourceDir() + QStringLiteral("/sim/qelsim.1")},
    };
    for (const auto &p : programs) {
        const QString help = Help(p.program, {QStringLiteral("--help"), QStringLiteral("--lang"), QStringLiteral("en")});
        const QString page = ManText(p.page);
        ASSERT_FALSE(help.isEmpty()) << p.program.toStdString();
        ASSERT_FALSE(page.isEmpty()) << p.page.toStdString();
        const QSet<QString> helpOptions = Options(help);
        const QSet<QString> pageOptions = Options(page);
        for (const QString &o : helpOptions)
            EXPECT_TRUE(pageOptions.contains(o)) << o.toStdString() << " is not in " << p.page.toStdString();
        for (const QString &o : pageOptions)
            EXPECT_TRUE(helpOptions.contains(o)) << o.toStdString() << " of " << p.page.toStdString()
                                                 << " is no option of the program";
    }
}

} // namespace
