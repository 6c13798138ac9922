#include "sim_log.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>

#include "sim_text.h"

namespace qelsim
{

bool CSimLog::Open(const QString &path, QString *error)
{
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        *error = Tx(T_LOG_OPEN_FAILED).arg(path, file_.errorString());
        return false;
    }
    clock_.start();
    return true;
}

QByteArray CSimLog::Hex(const QByteArray &bytes)
{
    return bytes.toHex(' ').toUpper();
}

void CSimLog::Write(const QByteArray &line)
{
    file_.write(line);
    file_.write("\n");
    file_.flush();
}

void CSimLog::Frame(int code, const QString &name, const QByteArray &payload, const QByteArray &reply)
{
    if (!IsOpen())
        return;
    QJsonObject o;
    o["t"] = double(clock_.elapsed());
    o["code"] = QStringLiteral("0x%1").arg(code, 2, 16, QLatin1Char('0')).toUpper().replace("0X", "0x");
    o["name"] = name;
    o["payload"] = QString::fromLatin1(Hex(payload));
    o["reply"] = QString::fromLatin1(Hex(reply));
    Write(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

void CSimLog::Block(int code, const QString &kind, const QByteArray &data, const QByteArray &reply)
{
    if (!IsOpen())
        return;
    QJsonObject o;
    o["t"] = double(clock_.elapsed());
    o["code"] = QStringLiteral("0x%1").arg(code, 2, 16, QLatin1Char('0')).toUpper().replace("0X", "0x");
    o["name"] = kind;
    o["size"] = double(data.size());
    o["sha1"] = QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
    o["reply"] = QString::fromLatin1(Hex(reply));
    Write(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

void CSimLog::Event(const QString &event, const QString &detail)
{
    if (!IsOpen())
        return;
    QJsonObject o;
    o["t"] = double(clock_.elapsed());
    o["event"] = event;
    o["detail"] = detail;
    Write(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

} // namespace qelsim
