#include "junit_report.h"

#include <QSet>
#include <QXmlStreamWriter>

namespace
{

struct CCounts {
    int tests = 0;
    int failures = 0;
    int errors = 0;
    int skipped = 0;
    double seconds = 0.0;
    void Add(const CCounts &o)
    {
        tests += o.tests;
        failures += o.failures;
        errors += o.errors;
        skipped += o.skipped;
        seconds += o.seconds;
    }
};

// The suite's cases followed by a skipped case for every command never begun.
std::vector<CBatchCase> AllCases(const CJUnitSuite &suite, CCounts *counts)
{
    std::vector<CBatchCase> all = suite.cases;
    QSet<int> begun;
    for (const CBatchCase &c : suite.cases)
        for (int i = 0; i < c.count; ++i)
            begun.insert(c.index + i);
    for (int i = 0; i < suite.commands.size(); ++i)
        if (!begun.contains(i)) {
            CBatchCase c;
            c.index = i;
            c.skipped = true;
            c.name = QStringLiteral("%1 %2").arg(i + 1).arg(suite.commands[i]);
            all.push_back(c);
        }
    for (const CBatchCase &c : all) {
        ++counts->tests;
        counts->seconds += c.seconds;
        if (c.skipped)
            ++counts->skipped;
        else if (c.failed && c.error)
            ++counts->errors;
        else if (c.failed)
            ++counts->failures;
    }
    return all;
}

void WriteCounts(QXmlStreamWriter &xml, const CCounts &n)
{
    xml.writeAttribute(QStringLiteral("tests"), QString::number(n.tests));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(n.failures));
    xml.writeAttribute(QStringLiteral("errors"), QString::number(n.errors));
    xml.writeAttribute(QStringLiteral("skipped"), QString::number(n.skipped));
    xml.writeAttribute(QStringLiteral("time"), QString::number(n.seconds, 'f', 3));
}

} // namespace

QByteArray JUnitXml(const std::vector<CJUnitSuite> &suites)
{
    std::vector<std::vector<CBatchCase>> cases;
    std::vector<CCounts> counts(suites.size());
    CCounts total;
    for (size_t i = 0; i < suites.size(); ++i) {
        cases.push_back(AllCases(suites[i], &counts[i]));
        total.Add(counts[i]);
    }
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    WriteCounts(xml, total);
    for (size_t i = 0; i < suites.size(); ++i) {
        xml.writeStartElement(QStringLiteral("testsuite"));
        xml.writeAttribute(QStringLiteral("name"), suites[i].name);
        WriteCounts(xml, counts[i]);
        for (const CBatchCase &c : cases[i]) {
            xml.writeStartElement(QStringLiteral("testcase"));
            xml.writeAttribute(QStringLiteral("classname"), suites[i].name);
            xml.writeAttribute(QStringLiteral("name"), c.name);
            xml.writeAttribute(QStringLiteral("time"), QString::number(c.seconds, 'f', 3));
            if (c.skipped) {
                xml.writeEmptyElement(QStringLiteral("skipped"));
            } else if (c.failed) {
                xml.writeStartElement(c.error ? QStringLiteral("error") : QStringLiteral("failure"));
                xml.writeAttribute(QStringLiteral("message"), c.failure);
                xml.writeCharacters(c.failure);
                xml.writeEndElement();
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}
