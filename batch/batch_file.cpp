#include "batch/batch_file.h"

#include "batch/batch_host.h"
#include "imaging/regular_file.h"
#include "link/terminal.h"
#include "res/output_file.h"
#include "res/strings.h"

#include <QDomDocument>
#include <QFile>
#include <QXmlStreamReader>
#include <new>
#include <unistd.h>

namespace BATCHCMD
{

namespace
{

const char kVersion[] = "1.1";
const char kModel[] = "QEL-A";

// Packs a pair as the file does: high member in bits 16-31 (signed 16-bit),
// low member in bits 0-15 (unsigned 16-bit).
int32_t Pack(int32_t low, int32_t high)
{
    const uint32_t v =
        (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16) | static_cast<uint16_t>(low);
    return static_cast<int32_t>(v);
}

void Unpack(int32_t v, int32_t *low, int32_t *high)
{
    *low = static_cast<int32_t>(static_cast<uint32_t>(v) & 0xFFFFu);
    *high = static_cast<int32_t>(static_cast<uint32_t>(v) >> 16);
}

bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Attribute value text. Characters that XML 1.0 cannot hold at all (control
// characters, lone surrogates) are left out.
void AppendEscaped(QString &out, const QString &value)
{
    for (int i = 0; i < value.size(); ++i) {
        const QChar ch = value.at(i);
        if (ch.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
            out += ch;
            out += value.at(++i);
            continue;
        }
        switch (ch.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\t':
            out += QLatin1String("&#9;");
            break;
        case '\n':
            out += QLatin1String("&#10;");
            break;
        case '\r':
            out += QLatin1String("&#13;");
            break;
        default:
            if (!ch.isSurrogate() && IsXmlChar(ch.unicode()))
                out += ch;
            break;
        }
    }
}

class CElementWriter
{
  public:
    CElementWriter(QString &out, const char *name) : m_out(out)
    {
        m_out += QLatin1Char('<');
        m_out += QLatin1String(name);
    }
    ~CElementWriter() { m_out += QLatin1String("/>"); }
    void Signed(const char *name, int32_t v) { Raw(name, QString::number(v)); }
    void Unsigned(const char *name, uint32_t v) { Raw(name, QString::number(v)); }
    void Text(const char *name, const QString &v)
    {
        m_out += QLatin1Char(' ');
        m_out += QLatin1String(name);
        m_out += QLatin1String("=\"");
        AppendEscaped(m_out, v);
        m_out += QLatin1Char('"');
    }

  private:
    void Raw(const char *name, const QString &v)
    {
        m_out += QLatin1Char(' ');
        m_out += QLatin1String(name);
        m_out += QLatin1String("=\"");
        m_out += v;
        m_out += QLatin1Char('"');
    }
    QString &m_out;
};

void WriteCommand(QString &out, const CBatchCmdData &cmd, const CBatchKind &kind)
{
    CElementWriter e(out, kind.name);
    switch (cmd.nType) {
    case SetMode:
        e.Signed("Mode", cmd.mode.nMode);
        break;
    case SetBaud:
    case SetPCBaud:
        e.Signed("Baud", cmd.baud.nBaud);
        break;
    case SendPicture:
        e.Signed("KeepAspectRatio", cmd.picture.bKeepAspectRatio);
        e.Unsigned("BkColor", cmd.picture.crBkColor);
        e.Text("Path", GetField(cmd.picture.szPath));
        break;
    case SavePicture:
    case ShowPicture:
    case ClearPicture:
        e.Signed("ID", cmd.picture.nID);
        break;
    case SendFont:
        e.Signed("Size", Pack(cmd.font.nWidth, cmd.font.nHeight));
        e.Text("Path", GetField(cmd.font.szPath));
        break;
    case ShowText:
        e.Signed("Font", Pack(cmd.text.nFontWidth, cmd.text.nFontHeight));
        e.Signed("Position", Pack(cmd.text.nX, cmd.text.nY));
        e.Text("Text", GetField(cmd.text.szText));
        break;
    case SetColor:
        e.Unsigned("Fore", cmd.color.crFore);
        e.Unsigned("Back", cmd.color.crBack);
        break;
    case Anchor:
        e.Text("Name", GetField(cmd.anchor.szName));
        break;
    case Repeat:
        e.Text("Anchor", GetField(cmd.repeat.szAnchor));
        e.Text("Prompt", GetField(cmd.repeat.szPrompt));
        break;
    case Message:
        e.Text("Text", GetField(cmd.message.szText));
        break;
    case Pause:
        e.Signed("Elapse", cmd.pause.nElapse);
        break;
    case Sound:
        e.Text("Path", GetField(cmd.sound.szPath));
        break;
    default: // ClearScreen, ClearAllPictures
        break;
    }
}

// Checks the raw document before the DOM sees it: well-formed, no document
// type declaration (so no entity can be declared, internal or external), and
// within the node and depth limits.
enum class EScan { Ok, Invalid, TooManyNodes };

EScan Prescan(const QByteArray &bytes)
{
    QXmlStreamReader reader(bytes);
    int nodes = 0;
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return EScan::Invalid;
        case QXmlStreamReader::StartElement:
            if (++depth > BATCH_FILE_MAX_DEPTH)
                return EScan::Invalid;
            ++nodes;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
            ++nodes;
            break;
        default:
            break;
        }
        if (nodes > BATCH_FILE_MAX_NODES)
            return EScan::TooManyNodes;
    }
    return reader.hasError() ? EScan::Invalid : EScan::Ok;
}

bool ParseDigits(const QString &text, bool allowNegative, qint64 min, qint64 max, qint64 *value)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-'))) {
        negative = t.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i >= t.size())
        return false;
    qint64 v = 0;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        v = v * 10 + (c.unicode() - '0');
        if (v > max + 1) // past every range we accept; stops overflow
            return false;
    }
    if (negative) {
        if (!allowNegative && v != 0)
            return false;
        v = -v;
    }
    if (v < min || v > max)
        return false;
    *value = v;
    return true;
}

} // namespace

bool ParseInt32(const QString &text, int32_t *value)
{
    qint64 v = 0;
    if (!ParseDigits(text, true, INT32_MIN, INT32_MAX, &v))
        return false;
    *value = static_cast<int32_t>(v);
    return true;
}

bool ParseUInt32(const QString &text, uint32_t *value)
{
    qint64 v = 0;
    if (!ParseDigits(text, false, 0, UINT32_MAX, &v))
        return false;
    *value = static_cast<uint32_t>(v);
    return true;
}

int32_t TerminalRes(const CMyTerminal &terminal)
{
    if (!terminal.IsConnected())
        return 0;
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(terminal.Info().height)) << 16) |
                                static_cast<uint16_t>(terminal.Info().width));
}

QByteArray CBatchFile::Serialize(const CBatchCmdList &list, int32_t res)
{
    QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n");
    out += QStringLiteral("<Document Ver=\"%1\" Model=\"%2\" Res=\"%3\">")
               .arg(QLatin1String(kVersion), QLatin1String(kModel), QString::number(res));
    QString commands;
    for (const CBatchCmdData &cmd : list) {
        const CBatchKind *kind = FindKind(cmd.nType);
        if (kind)
            WriteCommand(commands, cmd, *kind);
    }
    if (commands.isEmpty())
        out += QLatin1String("<Commands/>");
    else
        out += QLatin1String("<Commands>") + commands + QLatin1String("</Commands>");
    out += QLatin1String("</Document>\n");
    return out.toUtf8();
}

void CBatchFile::Reject(int stringId)
{
    m_host.MessageBox(LoadStr(stringId), BATCH_MB_OK, BATCH_ICON_ERROR);
}

void CBatchFile::Fail(const QString &text)
{
    m_host.ShowStatusMessage(STATUS_FAILURE, text);
}

bool CBatchFile::Save(const CBatchCmdList &list, const QString &path)
{
    m_path = path;
    try {
        const QByteArray bytes = Serialize(list, TerminalRes(m_host.Terminal()));
        QString reason;
        if (WriteOutputFile(path, bytes, 0, &reason) == COutputResult::Written)
            return true;
        Fail(FormatStr(IDS_BATCH_SAVE_FAILED, qUtf8Printable(path), qUtf8Printable(reason)));
        return false;
    } catch (const std::bad_alloc &) {
        Fail(LoadStr(IDS_BATCH_OUT_OF_MEMORY));
    } catch (...) {
        Fail(LoadStr(IDS_BATCH_UNKNOWN_ERROR));
    }
    return false;
}

bool CBatchFile::Load(const QString &path, CBatchCmdList &list)
{
    m_path = path;
    try {
        list.clear();
        // Only a regular file: a FIFO would block the open and the read.
        QFile file;
        int reason = 0;
        const int fd = OpenRegularFile(path, &reason);
        if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            if (fd >= 0)
                ::close(fd);
            Reject(IDS_BATCH_FILE_INVALID);
            return false;
        }
        // Read one byte past the cap so that devices without a size are caught too.
        const QByteArray bytes = file.read(qint64(BATCH_FILE_MAX_BYTES) + 1);
        if (bytes.size() > BATCH_FILE_MAX_BYTES) {
            Fail(FormatStr(IDS_BATCH_FILE_TOO_LARGE, BATCH_FILE_MAX_BYTES / 1024, qUtf8Printable(path)));
            return false;
        }
        if (file.error() != QFileDevice::NoError) {
            Fail(FormatStr(IDS_BATCH_READ_FAILED, qUtf8Printable(path), qUtf8Printable(file.errorString())));
            return false;
        }
        return LoadChecked(bytes, list);
    } catch (const std::bad_alloc &) {
        Fail(LoadStr(IDS_BATCH_OUT_OF_MEMORY));
    } catch (...) {
        Fail(LoadStr(IDS_BATCH_UNKNOWN_ERROR));
    }
    return false;
}

bool CBatchFile::LoadChecked(const QByteArray &bytes, CBatchCmdList &list)
{
    switch (Prescan(bytes)) {
    case EScan::Invalid:
        Reject(IDS_BATCH_FILE_INVALID);
        return false;
    case EScan::TooManyNodes:
        Fail(FormatStr(IDS_BATCH_TOO_MANY_NODES, int(BATCH_FILE_MAX_NODES), qUtf8Printable(m_path)));
        return false;
    case EScan::Ok:
        break;
    }

    QDomDocument doc;
    if (!doc.setContent(bytes)) {
        Reject(IDS_BATCH_FILE_INVALID);
        return false;
    }
    const QDomElement root = doc.documentElement();
    if (root.isNull() || !root.hasAttribute(QStringLiteral("Ver")) ||
        !root.hasAttribute(QStringLiteral("Model")) || !root.hasAttribute(QStringLiteral("Res"))) {
        Reject(IDS_BATCH_FILE_INVALID);
        return false;
    }
    if (root.attribute(QStringLiteral("Ver")) != QLatin1String(kVersion)) {
        Reject(IDS_BATCH_FILE_BAD_VERSION);
        return false;
    }
    if (root.attribute(QStringLiteral("Model")) != QLatin1String(kModel)) {
        Reject(IDS_BATCH_FILE_BAD_MODEL);
        return false;
    }
    const QString resText = root.attribute(QStringLiteral("Res"));
    int32_t res = 0;
    if (!ParseInt32(resText, &res)) {
        Fail(FormatStr(IDS_BATCH_BAD_NUMBER, qUtf8Printable(root.tagName()), "Res", qUtf8Printable(resText)));
        return false;
    }
    CMyTerminal &terminal = m_host.Terminal();
    if (!m_anyRes && res != TerminalRes(terminal)) {
        Reject(IDS_BATCH_FILE_BAD_RES);
        return false;
    }
    const QDomElement commands = root.firstChildElement(QStringLiteral("Commands"));
    if (commands.isNull()) {
        Fail(FormatStr(IDS_BATCH_NO_COMMANDS, qUtf8Printable(m_path)));
        return false;
    }

    for (QDomNode node = commands.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (!node.isElement())
            continue;
        QDomElement el = node.toElement();
        const int32_t code = KindFromName(el.tagName());
        if (code < 0 || !IsCommandAvailable(code, terminal))
            continue;

        bool ok = true;
        auto sint = [&](const char *name, int32_t *out) {
            const QDomAttr a = el.attributeNode(QLatin1String(name));
            if (!ok || a.isNull())
                return;
            if (!ParseInt32(a.value(), out)) {
                Fail(FormatStr(IDS_BATCH_BAD_NUMBER, qUtf8Printable(el.tagName()), name,
                               qUtf8Printable(a.value())));
                ok = false;
            }
        };
        auto uint = [&](const char *name, uint32_t *out) {
            const QDomAttr a = el.attributeNode(QLatin1String(name));
            if (!ok || a.isNull())
                return;
            if (!ParseUInt32(a.value(), out)) {
                Fail(FormatStr(IDS_BATCH_BAD_NUMBER, qUtf8Printable(el.tagName()), name,
                               qUtf8Printable(a.value())));
                ok = false;
            }
        };
        auto pair = [&](const char *name, int32_t *low, int32_t *high) {
            int32_t v = 0;
            const QDomAttr a = el.attributeNode(QLatin1String(name));
            if (!ok || a.isNull())
                return;
            sint(name, &v);
            if (ok)
                Unpack(v, low, high);
        };
        auto text = [&](const char *name, char16_t *field, int units) {
            const QDomAttr a = el.attributeNode(QLatin1String(name));
            if (ok && !a.isNull())
                SetField(field, units, a.value());
        };

        CBatchCmdData cmd = ZeroCmd();
        cmd.nType = code;
        switch (code) {
        case SetMode:
            sint("Mode", &cmd.mode.nMode);
            break;
        case SetBaud:
        case SetPCBaud:
            sint("Baud", &cmd.baud.nBaud);
            break;
        case SendPicture:
            sint("KeepAspectRatio", &cmd.picture.bKeepAspectRatio);
            uint("BkColor", &cmd.picture.crBkColor);
            text("Path", cmd.picture.szPath, PATH_UNITS);
            break;
        case SavePicture:
        case ShowPicture:
        case ClearPicture:
            sint("ID", &cmd.picture.nID);
            break;
        case SendFont:
            pair("Size", &cmd.font.nWidth, &cmd.font.nHeight);
            text("Path", cmd.font.szPath, PATH_UNITS);
            break;
        case ShowText:
            pair("Font", &cmd.text.nFontWidth, &cmd.text.nFontHeight);
            pair("Position", &cmd.text.nX, &cmd.text.nY);
            text("Text", cmd.text.szText, TEXT_UNITS);
            break;
        case SetColor:
            uint("Fore", &cmd.color.crFore);
            uint("Back", &cmd.color.crBack);
            break;
        case Anchor:
            text("Name", cmd.anchor.szName, NAME_UNITS);
            break;
        case Repeat:
            text("Anchor", cmd.repeat.szAnchor, NAME_UNITS);
            text("Prompt", cmd.repeat.szPrompt, TEXT_UNITS);
            break;
        case Message:
            text("Text", cmd.message.szText, PATH_UNITS);
            break;
        case Pause:
            sint("Elapse", &cmd.pause.nElapse);
            break;
        case Sound:
            text("Path", cmd.sound.szPath, PATH_UNITS);
            break;
        default:
            break;
        }
        if (!ok)
            return false;
        FillIds(cmd);
        list.push_back(cmd);
    }
    return true;
}

} // namespace BATCHCMD
