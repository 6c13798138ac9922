// The batch command record, the table of command kinds and the rule that
// decides which kinds the connected terminal can take.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <list>
#include <type_traits>

class CMyTerminal;

namespace BATCHCMD
{

// Kind codes. Terminal kinds are 0 to 10, PC kinds 256 to 261; nothing else
// is a kind. The enumerators double as the element names of the batch file.
enum EKind : int32_t {
    SetMode = 0,
    SetBaud = 1,
    ClearScreen = 2,
    SendPicture = 3,
    SavePicture = 4,
    ShowPicture = 5,
    ClearPicture = 6,
    ClearAllPictures = 7,
    SendFont = 8,
    ShowText = 9,
    SetColor = 10,
    Anchor = 256,
    Repeat = 257,
    Message = 258,
    Pause = 259,
    Sound = 260,
    SetPCBaud = 261,
};

// Text field sizes in UTF-16 units, terminator included.
enum : int { NAME_UNITS = 64, TEXT_UNITS = 128, PATH_UNITS = 260 };

// Parameter variants. All integers are signed 32-bit, colours 0x00BBGGRR.
struct CParamPicture {
    int32_t nID; // slot, counted from 0 (save, show, clear)
    int32_t bKeepAspectRatio;
    uint32_t crBkColor;
    char16_t szPath[PATH_UNITS];
};
struct CParamMode {
    int32_t nMode;
};
struct CParamBaud {
    int32_t nBaud;
};
struct CParamFont {
    int32_t nWidth;
    int32_t nHeight;
    char16_t szPath[PATH_UNITS];
};
struct CParamText {
    int32_t nX;
    int32_t nY;
    int32_t nFontWidth;
    int32_t nFontHeight;
    char16_t szText[TEXT_UNITS];
};
struct CParamColor {
    uint32_t crFore;
    uint32_t crBack;
};
struct CParamAnchor {
    char16_t szName[NAME_UNITS];
};
struct CParamRepeat {
    char16_t szAnchor[NAME_UNITS];
    char16_t szPrompt[TEXT_UNITS];
};
struct CParamMessage {
    char16_t szText[PATH_UNITS];
};
struct CParamPause {
    int32_t nElapse; // milliseconds
};
struct CParamSound {
    char16_t szPath[PATH_UNITS];
};

// One batch command: a fixed-size plain record, copied as a whole. Bytes that
// a kind does not use are zero.
struct CBatchCmdData {
    int32_t nType;
    int32_t nNameID;
    int32_t nDescID;
    union {
        CParamPicture picture; // the largest variant
        CParamMode mode;
        CParamBaud baud;
        CParamFont font;
        CParamText text;
        CParamColor color;
        CParamAnchor anchor;
        CParamRepeat repeat;
        CParamMessage message;
        CParamPause pause;
        CParamSound sound;
    };
};

static_assert(std::is_trivially_copyable_v<CBatchCmdData>, "records are copied as bytes");
static_assert(std::is_standard_layout_v<CBatchCmdData>, "records are plain data");
static_assert(sizeof(CBatchCmdData) == 3 * 4 + sizeof(CParamPicture), "the picture variant is the largest");

// Lists of records, in execution order; nodes keep their place when others
// are inserted or removed.
using CBatchCmdList = std::list<CBatchCmdData>;

// A row of the kind table.
struct CBatchKind {
    int32_t code;
    const char *name; // element name in the batch file
    int nameId;       // string-table id of the display name
    int descId;       // string-table id of the description
};

// The 17 kinds in table order (the order of the available command list).
const CBatchKind *KindTable();
int KindCount();

// The row of a code; nullptr when the code is not a kind.
const CBatchKind *FindKind(int32_t code);
// The code whose element name equals name, ignoring case; -1 when none.
int32_t KindFromName(const QString &name);
// Display name and description of a kind (empty when not a kind).
QString KindDisplayName(int32_t code);
QString KindDescription(int32_t code);

// A zeroed record.
CBatchCmdData ZeroCmd();
// A new record of the kind with its defaults (zeroed; picture sends keep the
// aspect ratio on a black background).
CBatchCmdData NewCmd(int32_t code);
// Fills nNameID and nDescID from the kind table (0 when not a kind).
void FillIds(CBatchCmdData &cmd);

// Whether the terminal, as it is now, can take the kind.
bool IsCommandAvailable(int32_t code, const CMyTerminal &terminal);

// Text fields. Setting cuts to the field size minus one unit (never between
// the two halves of a surrogate pair) and zeroes the rest of the field.
void SetField(char16_t *field, int units, const QString &text);
QString GetField(const char16_t *field, int units);

template <std::size_t N> void SetField(char16_t (&field)[N], const QString &text)
{
    SetField(field, static_cast<int>(N), text);
}
template <std::size_t N> QString GetField(const char16_t (&field)[N])
{
    return GetField(field, static_cast<int>(N));
}

} // namespace BATCHCMD
