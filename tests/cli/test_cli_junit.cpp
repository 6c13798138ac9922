// The JUnit reports of qelcli run, read back with a strict reader: the
// structure Jenkins and GitLab read (testsuites / testsuite / testcase /
// failure | error | skipped), counts that agree with the cases, and every
// outcome that is not success shown as a failing case with the console's
// message - an operator's cancel, a terminal that cannot be connected, a
// batch refused or broken, no terminal at all.
#include "cli_fixture.h"
#include "common/pty_pair.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace clitest;

namespace
{

struct Case {
    QString name;
    QString outcome; // "passed", "failure", "error" or "skipped"
    QString message;
};

struct Suite {
    QString name;
    std::vector<Case> cases;
};

struct Report {
    QString problem; // empty when the report is well formed
    std::vector<Suite> suites;
};

int Count(const Suite &s, const QString &outcome)
{
    return int(
        std::count_if(s.cases.begin(), s.cases.end(), [&](const Case &c) { return c.outcome == outcome; }));
}

// Reads the report and checks everything about its form; the first problem
// found ends the reading.
Report ReadReport(const QString &path)
{
    Report report;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        report.problem = QStringLiteral("no report");
        return report;
    }
    QXmlStreamReader xml(&f);
    auto fail = [&](const QString &why) {
        if (report.problem.isEmpty())
            report.problem = why + QStringLiteral(" at line ") + QString::number(xml.lineNumber());
    };
    auto number = [&](const QXmlStreamAttributes &a, const char *name) {
        bool ok = false;
        const int n = a.value(QLatin1String(name)).toInt(&ok);
        if (!ok)
            fail(QStringLiteral("attribute %1 missing or not a number").arg(QLatin1String(name)));
        return n;
    };
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("testsuites"))
        fail(QStringLiteral("root is not testsuites"));
    const QXmlStreamAttributes rootAttrs = xml.attributes();
    int totals[4] = {};
    while (report.problem.isEmpty() && xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("testsuite")) {
            fail(QStringLiteral("testsuites holds ") + xml.name().toString());
            break;
        }
        Suite suite;
        const QXmlStreamAttributes sa = xml.attributes();
        suite.name = sa.value(QLatin1String("name")).toString();
        const int counts[4] = {number(sa, "tests"), number(sa, "failures"), number(sa, "errors"),
                               number(sa, "skipped")};
        while (xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("testcase")) {
                fail(QStringLiteral("testsuite holds ") + xml.name().toString());
                break;
            }
            Case c;
            c.name = xml.attributes().value(QLatin1String("name")).toString();
            if (c.name.isEmpty() || xml.attributes().value(QLatin1String("classname")).isEmpty())
                fail(QStringLiteral("testcase without name or classname"));
            c.outcome = QStringLiteral("passed");
            int children = 0;
            while (xml.readNextStartElement()) {
                ++children;
                const QString kind = xml.name().toString();
                if (kind != QLatin1String("failure") && kind != QLatin1String("error") &&
                    kind != QLatin1String("skipped"))
                    fail(QStringLiteral("testcase holds ") + kind);
                c.outcome = kind;
                c.message = xml.attributes().value(QLatin1String("message")).toString();
                xml.skipCurrentElement();
            }
            if (children > 1)
                fail(QStringLiteral("testcase with several outcomes"));
            suite.cases.push_back(c);
        }
        const int actual[4] = {int(suite.cases.size()), Count(suite, QStringLiteral("failure")),
                               Count(suite, QStringLiteral("error")),
                               Count(suite, QStringLiteral("skipped"))};
        for (int i = 0; i < 4; ++i) {
            if (counts[i] != actual[i])
                fail(QStringLiteral("suite %1: count %2 says %3, cases %4")
                         .arg(suite.name)
                         .arg(i)
                         .arg(counts[i])
                         .arg(actual[i]));
            totals[i] += actual[i];
        }
        report.suites.push_back(suite);
    }
    if (xml.hasError())
        fail(xml.errorString());
    const int rootCounts[4] = {number(rootAttrs, "tests"), number(rootAttrs, "failures"),
                               number(rootAttrs, "errors"), number(rootAttrs, "skipped")};
    for (int i = 0; i < 4; ++i)
        if (rootCounts[i] != totals[i])
            fail(QStringLiteral("testsuites count %1 disagrees").arg(i));
    return report;
}

QStringList Outcomes(const Suite &s)
{
    QStringList out;
    for (const Case &c : s.cases)
        out << c.name + QLatin1Char(':') + c.outcome;
    return out;
}

const char kHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"17826272\"><Commands>";

TEST_F(CliTest, JUnitReportsOfFailedRunsFail)
{
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("ok")});
    const QString small = StartSim({QStringLiteral("--name"), QStringLiteral("small"),
                                    QStringLiteral("--size"), QStringLiteral("320x240")});
    ASSERT_FALSE(port.isEmpty());
    ASSERT_FALSE(small.isEmpty());
    const QString ask = WriteFile(QStringLiteral("ask.kbz"),
                                  QByteArray(kHead) + "<ClearScreen/><Message Text=\"go on?\"/><ClearScreen/>"
                                                      "</Commands></Document>");
    const QString steps = WriteFile(QStringLiteral("steps.kbz"),
                                    QByteArray(kHead) + "<ClearScreen/><ClearScreen/></Commands></Document>");
    const QString broken = WriteFile(QStringLiteral("broken.kbz"), "<Document Ver=\"1.1\" Model=\"QEL-A\"");
    const QString missing = QStringLiteral("/nonexistent/ttyUSB9");
    const QString junit = dir.filePath(QStringLiteral("report.xml"));
    const QString p = QStringLiteral("-p");
    const QString run = QStringLiteral("run");

    const struct {
        const char *what;
        QStringList args;
        QByteArray typed; // answers on a terminal; none: standard input is empty
        int code;
        // per suite: name, its cases "N Kind:outcome", a text its failing case carries
        std::vector<std::tuple<QString, QStringList, QString>> suites;
    } cases[] = {
        {"operator cancels at a message",
         {p, port, run, ask},
         "n\n",
         1,
         {{QStringLiteral("ask"),
           {QStringLiteral("1 ClearScreen:passed"), QStringLiteral("2 Message:failure"),
            QStringLiteral("3 ClearScreen:skipped")},
           U("go on?")}}},
        {"one port without a terminal",
         {p, missing, run, steps},
         {},
         3,
         {{QStringLiteral("steps"), {QStringLiteral("Connect:error")}, U("设备不存在")}}},
        {"broken batch file",
         {p, port, run, broken},
         {},
         2,
         {{QStringLiteral("broken"), {QStringLiteral("Load:error")}, QString()}}},
        {"several ports: one good, one refused, one missing",
         {p, port, p, small, p, missing, run, steps},
         {},
         2,
         {{port, {QStringLiteral("1 ClearScreen:passed"), QStringLiteral("2 ClearScreen:passed")}, QString()},
          {small, {QStringLiteral("Load:error")}, U("分辨率")},
          {missing, {QStringLiteral("Connect:error")}, U("设备不存在")}}},
    };
    for (const auto &c : cases) {
        // An earlier passing report is always replaced.
        ASSERT_EQ(Cli({p, port, run, steps, QStringLiteral("--junit"), junit}).code, 0);
        ASSERT_TRUE(ReadReport(junit).problem.isEmpty());
        Result r;
        if (c.typed.isEmpty()) {
            r = Cli(c.args + QStringList{QStringLiteral("--junit"), junit});
        } else {
            CPtyPair tty;
            ASSERT_EQ(write(tty.master, c.typed.constData(), c.typed.size()), c.typed.size());
            r = Cli(c.args + QStringList{QStringLiteral("--junit"), junit}, 120000, tty.slavePath);
        }
        EXPECT_EQ(r.code, c.code) << c.what << r.err.toStdString();
        const Report report = ReadReport(junit);
        ASSERT_TRUE(report.problem.isEmpty()) << c.what << ": " << report.problem.toStdString();
        ASSERT_EQ(report.suites.size(), c.suites.size()) << c.what;
        for (size_t i = 0; i < c.suites.size(); ++i) {
            const Suite &s = report.suites[i];
            EXPECT_EQ(s.name, std::get<0>(c.suites[i])) << c.what;
            EXPECT_EQ(Outcomes(s), std::get<1>(c.suites[i]))
                << c.what << " " << Outcomes(s).join(u',').toStdString();
            for (const Case &k : s.cases) {
                if (k.outcome != QLatin1String("failure") && k.outcome != QLatin1String("error"))
                    continue;
                // The message the console showed, word for word.
                EXPECT_FALSE(k.message.isEmpty()) << c.what;
                EXPECT_TRUE(k.message.contains(std::get<2>(c.suites[i])))
                    << c.what << " " << k.message.toStdString();
                EXPECT_TRUE(r.err.contains(k.message)) << c.what << " " << k.message.toStdString() << "\n"
                                                       << r.err.toStdString();
            }
        }
    }
}

} // namespace
