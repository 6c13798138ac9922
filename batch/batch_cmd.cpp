#include "batch/batch_cmd.h"

#include "link/terminal.h"
#include "res/strings.h"

#include <algorithm>

namespace BATCHCMD
{

namespace
{

const CBatchKind kKinds[] = {
    {SetMode, "SetMode", IDS_BATCH_NAME_SETMODE, IDS_BATCH_DESC_SETMODE},
    {SetBaud, "SetBaud", IDS_BATCH_NAME_SETBAUD, IDS_BATCH_DESC_SETBAUD},
    {SetPCBaud, "SetPCBaud", IDS_BATCH_NAME_SETPCBAUD, IDS_BATCH_DESC_SETPCBAUD},
    {ClearScreen, "ClearScreen", IDS_BATCH_NAME_CLEARSCREEN, IDS_BATCH_DESC_CLEARSCREEN},
    {SendPicture, "SendPicture", IDS_BATCH_NAME_SENDPICTURE, IDS_BATCH_DESC_SENDPICTURE},
    {SavePicture, "SavePicture", IDS_BATCH_NAME_SAVEPICTURE, IDS_BATCH_DESC_SAVEPICTURE},
    {ShowPicture, "ShowPicture", IDS_BATCH_NAME_SHOWPICTURE, IDS_BATCH_DESC_SHOWPICTURE},
    {ClearPicture, "ClearPicture", IDS_BATCH_NAME_CLEARPICTURE, IDS_BATCH_DESC_CLEARPICTURE},
    {ClearAllPictures, "ClearAllPictures", IDS_BATCH_NAME_CLEARALLPICTURES, IDS_BATCH_DESC_CLEARALLPICTURES},
    {SendFont, "SendFont", IDS_BATCH_NAME_SENDFONT, IDS_BATCH_DESC_SENDFONT},
    {ShowText, "ShowText", IDS_BATCH_NAME_SHOWTEXT, IDS_BATCH_DESC_SHOWTEXT},
    {SetColor, "SetColor", IDS_BATCH_NAME_SETCOLOR, IDS_BATCH_DESC_SETCOLOR},
    {Anchor, "Anchor", IDS_BATCH_NAME_ANCHOR, IDS_BATCH_DESC_ANCHOR},
    {Repeat, "Repeat", IDS_BATCH_NAME_REPEAT, IDS_BATCH_DESC_REPEAT},
    {Pause, "Pause", IDS_BATCH_NAME_PAUSE, IDS_BATCH_DESC_PAUSE},
    {Message, "Message", IDS_BATCH_NAME_MESSAGE, IDS_BATCH_DESC_MESSAGE},
    {Sound, "Sound", IDS_BATCH_NAME_SOUND, IDS_BATCH_DESC_SOUND},
};

constexpr int kKindCount = static_cast<int>(sizeof(kKinds) / sizeof(kKinds[0]));
static_assert(kKindCount == 17, "seventeen kinds");

} // namespace

const CBatchKind *KindTable()
{
    return kKinds;
}

int KindCount()
{
    return kKindCount;
}

const CBatchKind *FindKind(int32_t code)
{
    for (const CBatchKind &k : kKinds)
        if (k.code == code)
            return &k;
    return nullptr;
}

int32_t KindFromName(const QString &name)
{
    for (const CBatchKind &k : kKinds)
        if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0)
            return k.code;
    return -1;
}

QString KindDisplayName(int32_t code)
{
    const CBatchKind *k = FindKind(code);
    return k ? LoadStr(k->nameId) : QString();
}

QString KindDescription(int32_t code)
{
    const CBatchKind *k = FindKind(code);
    return k ? LoadStr(k->descId) : QString();
}

CBatchCmdData ZeroCmd()
{
    CBatchCmdData cmd;
    std::memset(&cmd, 0, sizeof cmd);
    return cmd;
}

void FillIds(CBatchCmdData &cmd)
{
    const CBatchKind *k = FindKind(cmd.nType);
    cmd.nNameID = k ? k->nameId : 0;
    cmd.nDescID = k ? k->descId : 0;
}

CBatchCmdData NewCmd(int32_t code)
{
    CBatchCmdData cmd = ZeroCmd();
    cmd.nType = code;
    FillIds(cmd);
    if (code == SendPicture) {
        cmd.picture.bKeepAspectRatio = 1;
        cmd.picture.crBkColor = 0; // black
    }
    return cmd;
}

bool IsCommandAvailable(int32_t code, const CMyTerminal &terminal)
{
    switch (code) {
    case SetMode:
        return terminal.IsModeCapable();
    case SendFont:
        return terminal.Info().hardFont == 0;
    case SetBaud:
    case ClearScreen:
    case SendPicture:
    case SavePicture:
    case ShowPicture:
    case ClearPicture:
    case ClearAllPictures:
    case ShowText:
    case SetColor:
    case Anchor:
    case Repeat:
    case Message:
    case Pause:
    case Sound:
    case SetPCBaud:
        return true;
    default:
        return false;
    }
}

void SetField(char16_t *field, int units, const QString &text)
{
    if (!field || units <= 0)
        return;
    int n = std::min<int>(static_cast<int>(text.size()), units - 1);
    // A pair cut in half would leave a lone surrogate that no file can hold.
    if (n > 0 && n < text.size() && text.at(n - 1).isHighSurrogate() && text.at(n).isLowSurrogate())
        --n;
    for (int i = 0; i < n; ++i)
        field[i] = text.at(i).unicode();
    for (int i = n; i < units; ++i)
        field[i] = 0;
}

QString GetField(const char16_t *field, int units)
{
    if (!field || units <= 0)
        return QString();
    int n = 0;
    while (n < units && field[n] != 0)
        ++n;
    return QString(reinterpret_cast<const QChar *>(field), n);
}

} // namespace BATCHCMD
