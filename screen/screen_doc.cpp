#include "screen/screen_doc.h"

#include "link/wire_text.h"
#include "res/ids_screen.h"
#include "res/strings.h"

#include <QDir>
#include <QFileInfo>
#include <set>

const std::vector<CTextSize> &TextSizes()
{
    static const std::vector<CTextSize> sizes = {{6, 10},  {8, 16},  {16, 16}, {32, 32},
                                                 {24, 24}, {12, 24}, {16, 32}};
    return sizes;
}

bool IsTextSize(const CTextSize &size)
{
    for (const CTextSize &s : TextSizes())
        if (s == size)
            return true;
    return false;
}

bool ParseTextSize(const QString &text, CTextSize *size)
{
    for (const CTextSize &s : TextSizes())
        if (text.compare(TextSizeName(s), Qt::CaseInsensitive) == 0) {
            *size = s;
            return true;
        }
    return false;
}

QString TextSizeName(const CTextSize &size)
{
    return QStringLiteral("%1x%2").arg(size.width).arg(size.height);
}

bool ParseScreenColor(const QString &text, uint32_t *colorRef)
{
    if (text.size() != 7 || text[0] != QLatin1Char('#'))
        return false;
    bool ok = false;
    const uint32_t rgb = text.mid(1).toUInt(&ok, 16);
    for (int i = 1; i < 7 && ok; ++i)
        ok = QStringLiteral("0123456789abcdefABCDEF").contains(text[i]);
    if (!ok)
        return false;
    *colorRef = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    return true;
}

QString ScreenColorName(uint32_t colorRef)
{
    const uint32_t rgb = ((colorRef & 0xFF) << 16) | (colorRef & 0xFF00) | ((colorRef >> 16) & 0xFF);
    return QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper();
}

bool CScreenItem::operator==(const CScreenItem &o) const
{
    return kind == o.kind && x == o.x && y == o.y && file == o.file && width == o.width && height == o.height &&
           keepAspect == o.keepAspect && text == o.text && size == o.size && color == o.color &&
           hasBack == o.hasBack && back == o.back && var == o.var && maxChars == o.maxChars &&
           extras == o.extras;
}

bool CScreen::operator==(const CScreen &o) const
{
    return name == o.name && slot == o.slot && background == o.background && dither == o.dither &&
           items == o.items && extras == o.extras;
}

bool CScreenDoc::operator==(const CScreenDoc &o) const
{
    return width == o.width && height == o.height && bpp == o.bpp && fonts == o.fonts && screens == o.screens &&
           extras == o.extras;
}

int CScreenDoc::FindScreen(const QString &name) const
{
    if (name.isEmpty())
        return screens.empty() ? -1 : 0;
    for (size_t i = 0; i < screens.size(); ++i)
        if (screens[i].name == name)
            return static_cast<int>(i);
    return -1;
}

const CScreenFont *CScreenDoc::FontFor(const CTextSize &size) const
{
    for (const CScreenFont &f : fonts)
        if (f.size == size)
            return &f;
    return nullptr;
}

QString CScreenDoc::ResolvePath(const QString &file) const
{
    if (file.isEmpty() || QFileInfo(file).isAbsolute())
        return file;
    const QDir base = path.isEmpty() ? QDir::current() : QFileInfo(path).absoluteDir();
    return QDir::cleanPath(base.absoluteFilePath(file));
}

int TextHalfWidths(const QString &text)
{
    const QByteArray bytes = TextToWire(ToHalfWidth(text));
    int n = 0;
    for (int i = 0; i < bytes.size(); ++i) {
        const uint8_t b = static_cast<uint8_t>(bytes[i]);
        if (b >= 0x81 && b <= 0xFE && i + 1 < bytes.size()) {
            n += 2;
            ++i;
        } else {
            ++n;
        }
    }
    return n;
}

int EffectiveMaxChars(const CScreenItem &text)
{
    return text.maxChars >= 0 ? text.maxChars : TextHalfWidths(text.text);
}

namespace
{

// Where a problem lies: the file and line when the item came from a file,
// else the screen and the item's place in it.
QString Where(const CScreenDoc &doc, const CScreen *screen, int line, int index)
{
    if (line > 0 && !doc.path.isEmpty())
        return FormatStr(IDS_SCR_AT_LINE, qUtf8Printable(doc.path), line);
    if (screen && index >= 0)
        return FormatStr(IDS_SCR_AT_ITEM, qUtf8Printable(screen->name), index + 1);
    if (screen)
        return FormatStr(IDS_SCR_AT_SCREEN, qUtf8Printable(screen->name));
    return QString();
}

QString BadValue(const char *element, const char *attribute, const QString &value, const QString &hint)
{
    return FormatStr(IDS_SCR_BAD_VALUE, element, attribute, qUtf8Printable(value), qUtf8Printable(hint));
}

QString Range(int min, int max)
{
    return FormatStr(IDS_SCR_HINT_RANGE, min, max);
}

bool CheckItem(const CScreenDoc &doc, const CScreenItem &it, QString *problem)
{
    if (it.kind == CItemKind::Picture) {
        if (it.file.isEmpty()) {
            *problem = BadValue("Picture", "File", it.file, LoadStr(IDS_SCR_HINT_NOT_EMPTY));
            return false;
        }
        if (it.width < 1 || it.height < 1 || it.x < 0 || it.y < 0 || it.x > doc.width - it.width ||
            it.y > doc.height - it.height) {
            *problem = FormatStr(IDS_SCR_OUTSIDE, "Picture", it.x, it.y, it.width, it.height, doc.width, doc.height);
            return false;
        }
        return true;
    }
    if (!IsTextSize(it.size)) {
        *problem = BadValue("Text", "Font", TextSizeName(it.size), LoadStr(IDS_SCR_HINT_SIZE));
        return false;
    }
    if (it.x < 0 || it.y < 0 || it.x >= doc.width || it.y >= doc.height) {
        *problem = FormatStr(IDS_SCR_OUTSIDE, "Text", it.x, it.y, it.size.width, it.size.height, doc.width,
                             doc.height);
        return false;
    }
    if (it.color > 0xFFFFFFu || it.back > 0xFFFFFFu) {
        *problem = BadValue("Text", "Color", ScreenColorName(it.color), LoadStr(IDS_SCR_HINT_COLOR));
        return false;
    }
    if (it.text.size() > SCREEN_TEXT_MAX_CHARS) {
        *problem = FormatStr(IDS_SCR_TEXT_TOO_LONG, int(SCREEN_TEXT_MAX_CHARS));
        return false;
    }
    bool ok = false;
    TextToWire(ToHalfWidth(it.text), &ok);
    if (!ok) {
        *problem = FormatStr(IDS_SCR_TEXT_NOT_WIRE, qUtf8Printable(it.text));
        return false;
    }
    if (it.maxChars != -1) {
        if (it.maxChars < 0 || it.maxChars > SCREEN_TEXT_MAX_CHARS) {
            *problem = BadValue("Text", "MaxChars", QString::number(it.maxChars), Range(1, SCREEN_TEXT_MAX_CHARS));
            return false;
        }
        const int own = TextHalfWidths(it.text);
        if (it.maxChars < own) {
            *problem = FormatStr(IDS_SCR_MAXCHARS_SHORT, it.maxChars, qUtf8Printable(it.text), own);
            return false;
        }
    }
    return true;
}

} // namespace

bool ValidateScreenDoc(const CScreenDoc &doc, QString *error)
{
    QString problem;
    auto fail = [&](const CScreen *screen, int line, int index) {
        if (error)
            *error = Where(doc, screen, line, index) + problem;
        return false;
    };
    if (doc.width < 1 || doc.width > SCREEN_SIDE_MAX) {
        problem = BadValue("Screens", "Width", QString::number(doc.width), Range(1, SCREEN_SIDE_MAX));
        return fail(nullptr, 0, -1);
    }
    if (doc.height < 1 || doc.height > SCREEN_SIDE_MAX) {
        problem = BadValue("Screens", "Height", QString::number(doc.height), Range(1, SCREEN_SIDE_MAX));
        return fail(nullptr, 0, -1);
    }
    if (doc.bpp != 16 && doc.bpp != 24) {
        problem = BadValue("Screens", "Bpp", QString::number(doc.bpp), LoadStr(IDS_SCR_HINT_BPP));
        return fail(nullptr, 0, -1);
    }
    std::set<int> sizes;
    for (const CScreenFont &f : doc.fonts) {
        if (!IsTextSize(f.size)) {
            problem = BadValue("Font", "Size", TextSizeName(f.size), LoadStr(IDS_SCR_HINT_SIZE));
            return fail(nullptr, f.line, -1);
        }
        if (f.file.isEmpty()) {
            problem = BadValue("Font", "File", f.file, LoadStr(IDS_SCR_HINT_NOT_EMPTY));
            return fail(nullptr, f.line, -1);
        }
        if (!sizes.insert(f.size.width * 1000 + f.size.height).second) {
            problem = FormatStr(IDS_SCR_DUP_FONT, qUtf8Printable(TextSizeName(f.size)));
            return fail(nullptr, f.line, -1);
        }
    }
    if (doc.screens.size() > size_t(SCREEN_MAX_SCREENS)) {
        problem = FormatStr(IDS_SCR_TOO_MANY_SCREENS, int(SCREEN_MAX_SCREENS));
        return fail(nullptr, 0, -1);
    }
    std::set<QString> names;
    for (const CScreen &s : doc.screens) {
        if (s.name.isEmpty()) {
            problem = BadValue("Screen", "Name", s.name, LoadStr(IDS_SCR_HINT_NOT_EMPTY));
            return fail(nullptr, s.line, -1);
        }
        if (!names.insert(s.name).second) {
            problem = FormatStr(IDS_SCR_DUP_SCREEN, qUtf8Printable(s.name));
            return fail(nullptr, s.line, -1);
        }
        if (s.slot < -1 || s.slot > SCREEN_SLOT_MAX) {
            problem = BadValue("Screen", "Slot", QString::number(s.slot), Range(0, SCREEN_SLOT_MAX));
            return fail(&s, s.line, -1);
        }
        if (s.background > 0xFFFFFFu) {
            problem = BadValue("Screen", "Background", ScreenColorName(s.background), LoadStr(IDS_SCR_HINT_COLOR));
            return fail(&s, s.line, -1);
        }
        if (s.dither < 0 || s.dither > 2) {
            problem = BadValue("Screen", "Dither", QString::number(s.dither), LoadStr(IDS_SCR_HINT_DITHER));
            return fail(&s, s.line, -1);
        }
        if (s.items.size() > size_t(SCREEN_MAX_ITEMS)) {
            problem = FormatStr(IDS_SCR_TOO_MANY_ITEMS, qUtf8Printable(s.name), int(SCREEN_MAX_ITEMS));
            return fail(nullptr, s.line, -1);
        }
        for (size_t i = 0; i < s.items.size(); ++i)
            if (!CheckItem(doc, s.items[i], &problem))
                return fail(&s, s.items[i].line, static_cast<int>(i));
    }
    return true;
}
