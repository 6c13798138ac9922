// The JUnit XML report of a batch run, in the form Jenkins and GitLab read:
// testsuites / testsuite (one per terminal) / testcase (one per command, by
// its position in the file) with failure, error or skipped.
#pragma once

#include "cli_batch_host.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

struct CJUnitSuite {
    QString name;
    std::vector<CBatchCase> cases;
    // Element names of the file's commands by position: those never begun
    // are reported as skipped.
    QStringList commands;
};

QByteArray JUnitXml(const std::vector<CJUnitSuite> &suites);
