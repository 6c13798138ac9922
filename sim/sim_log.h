// JSON Lines record of the commands and data blocks the terminal understood.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

namespace qelsim
{

class CSimLog
{
  public:
    bool Open(const QString &path, QString *error);
    bool IsOpen() const { return file_.isOpen(); }
    void Frame(int code, const QString &name, const QByteArray &payload, const QByteArray &reply);
    void Block(int code, const QString &kind, const QByteArray &data, const QByteArray &reply);
    void Event(const QString &event, const QString &detail);

    static QByteArray Hex(const QByteArray &bytes);

  private:
    void Write(const QByteArray &line);
    QFile file_;
    QElapsedTimer clock_;
};

} // namespace qelsim
