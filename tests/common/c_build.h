// Compiling and running C in the tests: the generated code is built with the
// flags it promises (C99, all warnings, pedantic, warnings as errors) by each
// C compiler of the machine, and its programs are run with a time limit.
#pragma once

#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace ctest {

struct Run {
    int code = -1;     // -1: did not start, crashed or timed out
    QString output;    // standard output
    QString errors;    // standard error
};

inline QStringList StrictCFlags()
{
    return {QStringLiteral("-std=c99"), QStringLiteral("-Wall"), QStringLiteral("-Wextra"),
            QStringLiteral("-pedantic"), QStringLiteral("-Werror")};
}

// The compilers the promise is made for; both are installed by scripts/deps.sh.
inline QStringList CCompilers()
{
    return {QStringLiteral("gcc"), QStringLiteral("clang")};
}

inline Run RunProgram(const QString &program, const QStringList &args, const QString &dir, int timeoutMs = 120000)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000)) {
        r.errors = QStringLiteral("%1 did not start: %2").arg(program, p.errorString());
        return r;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.errors = QStringLiteral("%1 did not finish").arg(program);
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.output = QString::fromUtf8(p.readAllStandardOutput());
    r.errors = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Compiles the C sources with the strict flags and links them into exe
// (all paths relative to dir); extra goes before the sources.
inline Run BuildC(const QString &cc, const QStringList &sources, const QString &exe, const QString &dir,
                  const QStringList &extra = {})
{
    return RunProgram(cc, StrictCFlags() + extra + sources + QStringList{QStringLiteral("-o"), exe}, dir);
}

// The C harness of the tests (tests/data/cexport): pty_line.c and its header.
inline QString HarnessDir()
{
    return QDir(qEnvironmentVariable("QEL_TEST_DATA")).filePath(QStringLiteral("cexport"));
}

} // namespace ctest
