// The fixture of the command-line tests: a scratch home and port folder,
// virtual terminals started as child processes, and qelcli runs.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace clitest {

struct Result {
    int code = -1;
    QString out;
    QString err;
    QByteArray raw; // standard output as bytes
};

class CliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString portDir;
    std::vector<std::unique_ptr<QProcess>> sims;
    bool platformSet = true;  // QT_QPA_PLATFORM=offscreen in the environment
    QStringList wrapper;  // runs qelcli through this command (another user)
    QString runtimeDir;   // XDG_RUNTIME_DIR of the programs: Qt warns without one
    QMap<QString, QString> extraEnv;  // set for the programs started next
    QStringList unsetEnv;             // removed for the programs started next

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        portDir = dir.filePath(QStringLiteral("ports"));
        QDir().mkpath(portDir);
        QDir().mkpath(dir.filePath(QStringLiteral("home/.config")));
        runtimeDir = dir.filePath(QStringLiteral("run"));
        QDir().mkpath(runtimeDir);
        QFile::setPermissions(runtimeDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        ASSERT_FALSE(qEnvironmentVariable("QELCLI").isEmpty());
        ASSERT_FALSE(qEnvironmentVariable("QELSIM").isEmpty());
    }
    void TearDown() override
    {
        for (auto &p : sims) {
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill();
            p->waitForFinished(5000);
        }
    }
    QProcessEnvironment Env() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QEL_PORT_DIR"), portDir);
        env.insert(QStringLiteral("QEL_SYSTEM_PORTS"), QStringLiteral("0"));
        env.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("home/.config")));
        if (platformSet)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        else
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        env.remove(QStringLiteral("QEL_LANG"));
        for (auto it = extraEnv.cbegin(); it != extraEnv.cend(); ++it)
            env.insert(it.key(), it.value());
        for (const QString &name : unsetEnv)
            env.remove(name);
        if (!wrapper.isEmpty()) {
            // The other user may not reach the leak suppressions in the
            // source tree; that run goes without leak checking.
            env.remove(QStringLiteral("LSAN_OPTIONS"));
            env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        }
        return env;
    }
    // Starts a virtual terminal and returns the port path it announced;
    // *tcp gets the port name of its network side ("--tcp 0" is added).
    QString StartSim(const QStringList &args, QString *tcp = nullptr)
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(Env());
        QStringList all = QStringList{QStringLiteral("--headless")} + args;
        if (tcp)
            all << QStringLiteral("--tcp") << QStringLiteral("0");
        p->start(qEnvironmentVariable("QELSIM"), all);
        if (!p->waitForStarted(10000))
            return QString();
        QString path;
        for (int i = 0; i < 200 && (path.isEmpty() || (tcp && tcp->isEmpty())); ++i) {
            if (!p->canReadLine())
                p->waitForReadyRead(100);
            if (p->canReadLine()) {
                const QString line = QString::fromUtf8(p->readLine()).trimmed();
                if (line.startsWith(QLatin1String("PORT ")))
                    path = line.mid(5);
                else if (tcp && line.startsWith(QLatin1String("TCP ")))
                    *tcp = QStringLiteral("tcp://") + line.mid(4);
            }
        }
        sims.push_back(std::move(p));
        return path;
    }
    // |input|: the file standard input reads (a terminal's path to answer
    // questions); none by default.
    Result Cli(const QStringList &args, int timeoutMs = 120000, const QString &input = QProcess::nullDevice())
    {
        QProcess p;
        p.setProcessEnvironment(Env());
        p.setStandardInputFile(input);
        if (wrapper.isEmpty())
            p.start(qEnvironmentVariable("QELCLI"), args);
        else
            p.start(wrapper.first(), wrapper.mid(1) + args);
        Result r;
        if (!p.waitForStarted(10000) || !p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.raw = p.readAllStandardOutput();
        r.out = QString::fromUtf8(r.raw);
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    QJsonObject Json(const Result &r)
    {
        QJsonParseError e{};
        const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &e);
        EXPECT_EQ(e.error, QJsonParseError::NoError) << r.out.toStdString();
        return doc.object();
    }
    QString WriteFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
};

inline QString U(const char *s)
{
    return QString::fromUtf8(s);
}

} // namespace clitest
