// A headless qelsim for the benchmarks, linked as "qelsim-bench" in a
// private folder (which can serve as the virtual port folder); stopped when
// it goes.
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The benchmarks' environment, set before the application object exists: an
// offscreen window system unless one was chosen, the frame's profile in the
// given temporary folder, and only virtual ports.
inline void UseBenchEnvironment(const QTemporaryDir &profile)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", profile.path().toUtf8());
    qputenv("QEL_SYSTEM_PORTS", "0");
}

class CSim
{
  public:
    explicit CSim(const QStringList &extra = {})
    {
        m_link = m_dir.filePath("qelsim-bench");
        m_proc.start(QStringLiteral(QEL_QELSIM_PATH),
                     QStringList{"--headless", "--profile", "info", "--size", "320x240", "--link", m_link} +
                         extra);
        QByteArray first;
        while (m_proc.waitForStarted(10000) && !first.contains('\n') && m_proc.waitForReadyRead(10000))
            first += m_proc.readAllStandardOutput();
        m_ok = first.startsWith("PORT ");
    }
    ~CSim()
    {
        m_proc.terminate();
        m_proc.waitForFinished(10000);
    }
    bool Ok() const { return m_ok; }
    QString Link() const { return m_link; }
    QString Dir() const { return m_dir.path(); }

  private:
    QTemporaryDir m_dir;
    QString m_link;
    QProcess m_proc;
    bool m_ok = false;
};
