// Helpers of the device window tests: virtual terminals in a private port
// folder, a status recorder and a traffic recorder.
#pragma once

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "link/host.h"

// Runs qelsim instances registered in one temporary port folder, which this
// process also lists (QEL_PORT_DIR).
class CSimFarm {
public:
    CSimFarm()
    {
        m_ports = m_dir.filePath(QStringLiteral("ports"));
        QDir().mkpath(m_ports);
        qputenv("QEL_PORT_DIR", m_ports.toUtf8());
        qputenv("QEL_SYSTEM_PORTS", "0");
    }
    ~CSimFarm() { StopAll(); }

    bool Valid() const { return m_dir.isValid() && !qEnvironmentVariable("QELSIM").isEmpty(); }

    // Starts a headless terminal named name (link "qelsim-<name>") with a
    // command log (and, unless screen is false, a screen file saved after
    // each change); returns the port path it announced, empty on failure.
    // *tcp gets the port name of its network side ("--tcp 0" is added).
    QString Start(const QString &name, const QStringList &args, bool screen = true, QString *tcp = nullptr)
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QEL_PORT_DIR"), m_ports);
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::SeparateChannels);
        QStringList all{QStringLiteral("--headless"), QStringLiteral("--name"), name, QStringLiteral("--log"),
                        LogPath(name)};
        if (screen)
            all << QStringLiteral("--screen") << ScreenPath(name);
        if (tcp)
            all << QStringLiteral("--tcp") << QStringLiteral("0");
        p->start(qEnvironmentVariable("QELSIM"), all + args);
        if (!p->waitForStarted(10000))
            return QString();
        QString path;
        for (int i = 0; i < 300 && (path.isEmpty() || (tcp && tcp->isEmpty())); ++i) {
            if (!p->canReadLine())
                p->waitForReadyRead(100);
            while (p->canReadLine()) {
                const QString line = QString::fromUtf8(p->readLine()).trimmed();
                if (line.startsWith(QLatin1String("PORT ")))
                    path = line.mid(5);
                else if (tcp && line.startsWith(QLatin1String("TCP ")))
                    *tcp = QStringLiteral("tcp://") + line.mid(4);
            }
        }
        m_sims.push_back(std::move(p));
        return path;
    }

    void StopAll()
    {
        for (auto &p : m_sims) {
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill();
            p->waitForFinished(5000);
        }
        m_sims.clear();
    }

    QString LogPath(const QString &name) const { return m_dir.filePath(name + QStringLiteral(".jsonl")); }
    QString ScreenPath(const QString &name) const { return m_dir.filePath(name + QStringLiteral(".png")); }

    // The command codes the terminal understood, in order ("0x30", ...).
    QStringList Codes(const QString &name) const
    {
        QStringList codes;
        QFile f(LogPath(name));
        if (!f.open(QIODevice::ReadOnly))
            return codes;
        while (!f.atEnd()) {
            const QJsonObject o = QJsonDocument::fromJson(f.readLine()).object();
            if (o.contains(QStringLiteral("code")))
                codes << o.value(QStringLiteral("code")).toString();
        }
        return codes;
    }

private:
    QTemporaryDir m_dir;
    QString m_ports;
    std::vector<std::unique_ptr<QProcess>> m_sims;
};

struct CStatusRecorder : CStatusSink {
    struct Message {
        int kind;
        QString text;
    };
    std::vector<Message> messages;
    int refreshes = 0;
    void ShowStatusMessage(int kind, const QString &text) override { messages.push_back({kind, text}); }
    void ShowStatusProgress(const QString &, int) override {}
    void RefreshUi() override { ++refreshes; }
    QString LastText() const { return messages.empty() ? QString() : messages.back().text; }
    int LastKind() const { return messages.empty() ? 0 : messages.back().kind; }
};

// Frames the terminal object sent (direction 0), each as its bytes.
struct CSentFrames : CTrafficSink {
    std::vector<QByteArray> frames;
    void OnTraffic(int direction, int count, const uint8_t *bytes) override
    {
        if (direction == TRAFFIC_SENT)
            frames.emplace_back(reinterpret_cast<const char *>(bytes), count);
    }
    // The command byte of every frame sent.
    QList<int> Codes() const
    {
        QList<int> codes;
        for (const QByteArray &f : frames)
            codes << (f.size() > 1 ? static_cast<uint8_t>(f[1]) : -1);
        return codes;
    }
};
