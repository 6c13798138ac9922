// The batch file (.kbz): a small UTF-8 XML document naming the format
// version, the terminal family and screen resolution, and the commands in
// execution order.
#pragma once

#include "batch/batch_cmd.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

class CMyTerminal;

namespace BATCHCMD
{

class CBatchFileHost;

// Limits on reading. A real batch of a thousand commands with long paths
// stays far below both; beyond them memory use would follow the input.
enum : int {
    BATCH_FILE_MAX_BYTES = 4 * 1024 * 1024,
    BATCH_FILE_MAX_NODES = 100000, // elements, text runs, comments, instructions
    BATCH_FILE_MAX_DEPTH = 64,
};

// The "Res" value of the connected terminal: height x 65536 + width, each as
// 16 bits; 0 while no terminal is connected.
int32_t TerminalRes(const CMyTerminal &terminal);

// Number text as the file holds it: optional blanks and sign, decimal digits.
bool ParseInt32(const QString &text, int32_t *value);
bool ParseUInt32(const QString &text, uint32_t *value);

class CBatchFile
{
  public:
    explicit CBatchFile(CBatchFileHost &host) : m_host(host) {}

    // Writes the list to path through a temporary file that replaces the old
    // one only when complete. Records whose code is not a kind are skipped.
    // A failure is shown in the status bar with its reason.
    bool Save(const CBatchCmdList &list, const QString &path);
    // Empties the list, reads the file and appends the accepted records. A
    // failure has been reported (message box or status bar) when it returns
    // false; the list may then hold some records and is to be discarded.
    bool Load(const QString &path, CBatchCmdList &list);

    const QString &Path() const { return m_path; }

    // Reads the file alone, without comparing its resolution with the
    // terminal's: a check of the file before any terminal is connected.
    void AcceptAnyRes(bool any) { m_anyRes = any; }

    // The document text for a list and a resolution value.
    static QByteArray Serialize(const CBatchCmdList &list, int32_t res);

  private:
    bool LoadChecked(const QByteArray &bytes, CBatchCmdList &list);
    void Reject(int stringId);
    void Fail(const QString &text);

    CBatchFileHost &m_host;
    QString m_path;
    bool m_anyRes = false;
};

} // namespace BATCHCMD
