#include "screen/screen_file.h"

#include "res/output_file.h"

#include "batch/batch_file.h"
#include "imaging/dither.h"
#include "imaging/regular_file.h"
#include "res/ids_screen.h"
#include "res/strings.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <new>
#include <unistd.h>

namespace
{

constexpr int kMajor = 1;
constexpr int kMinor = 0;

// Why the raw document was refused.
enum class EParse { Ok, Invalid, Unsafe, TooManyNodes };

struct CParseResult {
    EParse kind = EParse::Ok;
    int line = 0;
    QString reason;
};

// Reads the whole document into a tree. No document type declaration and no
// entity reference is accepted (so none can be declared or expanded), and
// the node count and depth stay within the file limits.
CParseResult ParseTree(const QByteArray &bytes, CXmlElement *root)
{
    QXmlStreamReader reader(bytes);
    std::vector<CXmlElement *> stack;
    // Per open element, its text without the runs that are blanks alone:
    // between child elements those are layout, and the writer adds its own.
    std::vector<QString> solid;
    bool haveRoot = false;
    int nodes = 0;
    CParseResult r;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        switch (token) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            r.kind = EParse::Unsafe;
            return r;
        case QXmlStreamReader::StartElement: {
            if (stack.size() >= size_t(SCREEN_FILE_MAX_DEPTH) || ++nodes > SCREEN_FILE_MAX_NODES) {
                r.kind = EParse::TooManyNodes;
                return r;
            }
            CXmlElement *e = nullptr;
            if (stack.empty()) {
                e = root;
                haveRoot = true;
            } else {
                stack.back()->children.emplace_back();
                e = &stack.back()->children.back();
            }
            e->name = reader.name().toString();
            e->line = static_cast<int>(reader.lineNumber());
            for (const QXmlStreamAttribute &a : reader.attributes())
                e->attributes.emplace_back(a.qualifiedName().toString(), a.value().toString());
            stack.push_back(e);
            solid.emplace_back();
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!stack.back()->children.empty())
                stack.back()->text = solid.back();
            stack.pop_back();
            solid.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (++nodes > SCREEN_FILE_MAX_NODES) {
                r.kind = EParse::TooManyNodes;
                return r;
            }
            if (!stack.empty()) {
                stack.back()->text += reader.text();
                if (!reader.isWhitespace())
                    solid.back() += reader.text();
            }
            break;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
            if (++nodes > SCREEN_FILE_MAX_NODES) {
                r.kind = EParse::TooManyNodes;
                return r;
            }
            break;
        default:
            break;
        }
    }
    if (reader.hasError() || !haveRoot) {
        r.kind = EParse::Invalid;
        r.line = static_cast<int>(reader.lineNumber());
        r.reason = reader.errorString();
    }
    return r;
}

// Takes the known attributes of an element one by one; what is left over
// goes to the extras.
class CAttrReader
{
  public:
    CAttrReader(const CXmlElement &e, const QString &path, QString *error) : m_e(e), m_path(path), m_error(error)
    {
        m_taken.assign(e.attributes.size(), false);
    }

    bool ok() const { return m_ok; }

    // The value, or a null string when absent; required ones report absence.
    QString Take(const char *name, bool required)
    {
        for (size_t i = 0; i < m_e.attributes.size(); ++i)
            if (!m_taken[i] && m_e.attributes[i].first == QLatin1String(name)) {
                m_taken[i] = true;
                return m_e.attributes[i].second.isNull() ? QStringLiteral("") : m_e.attributes[i].second;
            }
        if (required)
            Fail(FormatStr(IDS_SCR_MISSING_ATTR, qUtf8Printable(m_e.name), name));
        return QString();
    }
    void Int(const char *name, bool required, int min, int max, int *out)
    {
        const QString v = Take(name, required);
        if (!m_ok || v.isNull())
            return;
        int32_t n = 0;
        if (!BATCHCMD::ParseInt32(v, &n) || n < min || n > max)
            Bad(name, v, FormatStr(IDS_SCR_HINT_RANGE, min, max));
        else
            *out = n;
    }
    void Color(const char *name, uint32_t *out, bool *given = nullptr)
    {
        const QString v = Take(name, false);
        if (!m_ok || v.isNull())
            return;
        if (!ParseScreenColor(v, out))
            Bad(name, v, LoadStr(IDS_SCR_HINT_COLOR));
        else if (given)
            *given = true;
    }
    void Bool(const char *name, bool *out)
    {
        const QString v = Take(name, false);
        if (!m_ok || v.isNull())
            return;
        if (v != QLatin1String("0") && v != QLatin1String("1"))
            Bad(name, v, LoadStr(IDS_SCR_HINT_BOOL));
        else
            *out = v == QLatin1String("1");
    }
    void Size(const char *name, CTextSize *out)
    {
        const QString v = Take(name, true);
        if (m_ok && !ParseTextSize(v, out))
            Bad(name, v, LoadStr(IDS_SCR_HINT_SIZE));
    }
    void NonEmpty(const char *name, QString *out)
    {
        const QString v = Take(name, true);
        if (!m_ok)
            return;
        if (v.isEmpty())
            Bad(name, v, LoadStr(IDS_SCR_HINT_NOT_EMPTY));
        else
            *out = v;
    }
    void Bad(const char *name, const QString &value, const QString &hint)
    {
        Fail(FormatStr(IDS_SCR_BAD_VALUE, qUtf8Printable(m_e.name), name, qUtf8Printable(value),
                       qUtf8Printable(hint)));
    }
    // Unknown attributes and, for elements of the model, unknown children.
    void Rest(CScreenExtras *extras, bool keepChildren = true)
    {
        for (size_t i = 0; i < m_e.attributes.size(); ++i)
            if (!m_taken[i])
                extras->attributes.push_back(m_e.attributes[i]);
        if (keepChildren)
            extras->elements = m_e.children;
    }
    void Fail(const QString &text)
    {
        if (m_ok && m_error)
            *m_error = FormatStr(IDS_SCR_AT_LINE, qUtf8Printable(m_path), m_e.line) + text;
        m_ok = false;
    }

  private:
    const CXmlElement &m_e;
    const QString &m_path;
    QString *m_error;
    std::vector<bool> m_taken;
    bool m_ok = true;
};

bool ParseVersion(const QString &text, int *major, int *minor)
{
    const int dot = text.indexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == text.size() - 1)
        return false;
    for (int i = 0; i < text.size(); ++i)
        if (i != dot && !text[i].isDigit())
            return false;
    if (dot > 4 || text.size() - dot - 1 > 4)
        return false;
    *major = text.left(dot).toInt();
    *minor = text.mid(dot + 1).toInt();
    return true;
}

bool ReadItem(const CXmlElement &e, const QString &path, const CScreenDoc &doc, CScreenItem *it, QString *error)
{
    CAttrReader a(e, path, error);
    it->line = e.line;
    const bool picture = e.name == QLatin1String("Picture");
    it->kind = picture ? CItemKind::Picture : CItemKind::Text;
    // Coordinates are read as any int; whether they lie on the screen is
    // the validator's call, with the screen's size in the message.
    a.Int("X", true, INT32_MIN, INT32_MAX, &it->x);
    a.Int("Y", true, INT32_MIN, INT32_MAX, &it->y);
    if (picture) {
        a.NonEmpty("File", &it->file);
        a.Int("Width", true, 1, doc.width, &it->width);
        a.Int("Height", true, 1, doc.height, &it->height);
        a.Bool("KeepAspect", &it->keepAspect);
    } else {
        a.Size("Font", &it->size);
        a.Color("Color", &it->color);
        a.Color("Back", &it->back, &it->hasBack);
        const QString var = a.Take("Var", false);
        if (a.ok() && !var.isNull())
            it->var = var;
        a.Int("MaxChars", false, 1, SCREEN_TEXT_MAX_CHARS, &it->maxChars);
        it->text = e.text;
    }
    a.Rest(&it->extras);
    return a.ok();
}

bool ReadScreen(const CXmlElement &e, const QString &path, const CScreenDoc &doc, CScreen *s, QString *error)
{
    CAttrReader a(e, path, error);
    s->line = e.line;
    a.NonEmpty("Name", &s->name);
    const QString slot = a.Take("Slot", false);
    if (a.ok() && !slot.isEmpty()) {
        int32_t n = 0;
        if (!BATCHCMD::ParseInt32(slot, &n) || n < 0 || n > SCREEN_SLOT_MAX)
            a.Bad("Slot", slot, FormatStr(IDS_SCR_HINT_RANGE, 0, int(SCREEN_SLOT_MAX)));
        else
            s->slot = n;
    }
    a.Color("Background", &s->background);
    const QString dither = a.Take("Dither", false);
    CDither method = CDither::None;
    if (a.ok() && !dither.isNull()) {
        // Only the words: the numbers ParseDither also takes are a profile's.
        if (dither != QLatin1String("none") && dither != QLatin1String("ordered") &&
            dither != QLatin1String("diffusion"))
            a.Bad("Dither", dither, LoadStr(IDS_SCR_HINT_DITHER));
        else if (ParseDither(dither, &method))
            s->dither = static_cast<int>(method);
    }
    if (!a.ok())
        return false;
    for (const CXmlElement &child : e.children) {
        if (child.name == QLatin1String("Picture") || child.name == QLatin1String("Text")) {
            if (s->items.size() >= size_t(SCREEN_MAX_ITEMS)) {
                if (error)
                    *error = FormatStr(IDS_SCR_AT_LINE, qUtf8Printable(path), child.line) +
                             FormatStr(IDS_SCR_TOO_MANY_ITEMS, qUtf8Printable(s->name), int(SCREEN_MAX_ITEMS));
                return false;
            }
            s->items.emplace_back();
            if (!ReadItem(child, path, doc, &s->items.back(), error))
                return false;
        } else {
            s->extras.elements.push_back(child);
        }
    }
    a.Rest(&s->extras, false);
    return true;
}

bool ReadDoc(const CXmlElement &root, const QString &path, CScreenDoc *doc, QString *error)
{
    if (root.name != QLatin1String("Screens")) {
        if (error)
            *error = FormatStr(IDS_SCR_NOT_SCREENS, qUtf8Printable(path));
        return false;
    }
    CAttrReader a(root, path, error);
    const QString ver = a.Take("Ver", true);
    if (!a.ok())
        return false;
    int major = 0, minor = 0;
    if (!ParseVersion(ver, &major, &minor)) {
        a.Bad("Ver", ver, LoadStr(IDS_SCR_HINT_VERSION));
        return false;
    }
    if (major > kMajor || (major == kMajor && minor > kMinor)) {
        if (error)
            *error = FormatStr(IDS_SCR_NEWER_VERSION, qUtf8Printable(path), qUtf8Printable(ver),
                               qUtf8Printable(ScreenFileVersion()));
        return false;
    }
    a.Int("Width", true, 1, SCREEN_SIDE_MAX, &doc->width);
    a.Int("Height", true, 1, SCREEN_SIDE_MAX, &doc->height);
    const QString bpp = a.Take("Bpp", false);
    if (a.ok() && !bpp.isNull()) {
        if (bpp != QLatin1String("16") && bpp != QLatin1String("24"))
            a.Bad("Bpp", bpp, LoadStr(IDS_SCR_HINT_BPP));
        else
            doc->bpp = bpp.toInt();
    }
    if (!a.ok())
        return false;
    for (const CXmlElement &child : root.children) {
        if (child.name == QLatin1String("Font")) {
            CAttrReader f(child, path, error);
            CScreenFont font;
            font.line = child.line;
            f.Size("Size", &font.size);
            f.NonEmpty("File", &font.file);
            if (!f.ok())
                return false;
            f.Rest(&font.extras);
            doc->fonts.push_back(font);
        } else if (child.name == QLatin1String("Screen")) {
            if (doc->screens.size() >= size_t(SCREEN_MAX_SCREENS)) {
                if (error)
                    *error = FormatStr(IDS_SCR_AT_LINE, qUtf8Printable(path), child.line) +
                             FormatStr(IDS_SCR_TOO_MANY_SCREENS, int(SCREEN_MAX_SCREENS));
                return false;
            }
            doc->screens.emplace_back();
            if (!ReadScreen(child, path, *doc, &doc->screens.back(), error))
                return false;
        } else {
            doc->extras.elements.push_back(child);
        }
    }
    a.Rest(&doc->extras, false);
    if (doc->screens.empty()) {
        if (error)
            *error = FormatStr(IDS_SCR_NO_SCREENS, qUtf8Printable(path));
        return false;
    }
    return ValidateScreenDoc(*doc, error);
}

void WriteExtraAttributes(QXmlStreamWriter &w, const CScreenExtras &extras)
{
    for (const auto &a : extras.attributes)
        w.writeAttribute(a.first, a.second);
}

void WriteElement(QXmlStreamWriter &w, const CXmlElement &e)
{
    w.writeStartElement(e.name);
    for (const auto &a : e.attributes)
        w.writeAttribute(a.first, a.second);
    if (!e.text.trimmed().isEmpty() || (e.children.empty() && !e.text.isEmpty()))
        w.writeCharacters(e.text);
    for (const CXmlElement &c : e.children)
        WriteElement(w, c);
    w.writeEndElement();
}

void WriteItem(QXmlStreamWriter &w, const CScreenItem &it)
{
    const bool picture = it.kind == CItemKind::Picture;
    w.writeStartElement(picture ? QStringLiteral("Picture") : QStringLiteral("Text"));
    if (picture) {
        w.writeAttribute(QStringLiteral("File"), it.file);
        w.writeAttribute(QStringLiteral("X"), QString::number(it.x));
        w.writeAttribute(QStringLiteral("Y"), QString::number(it.y));
        w.writeAttribute(QStringLiteral("Width"), QString::number(it.width));
        w.writeAttribute(QStringLiteral("Height"), QString::number(it.height));
        w.writeAttribute(QStringLiteral("KeepAspect"), it.keepAspect ? QStringLiteral("1") : QStringLiteral("0"));
    } else {
        w.writeAttribute(QStringLiteral("X"), QString::number(it.x));
        w.writeAttribute(QStringLiteral("Y"), QString::number(it.y));
        w.writeAttribute(QStringLiteral("Font"), TextSizeName(it.size));
        w.writeAttribute(QStringLiteral("Color"), ScreenColorName(it.color));
        if (it.hasBack)
            w.writeAttribute(QStringLiteral("Back"), ScreenColorName(it.back));
        if (!it.var.isEmpty())
            w.writeAttribute(QStringLiteral("Var"), it.var);
        if (it.maxChars >= 0)
            w.writeAttribute(QStringLiteral("MaxChars"), QString::number(it.maxChars));
    }
    WriteExtraAttributes(w, it.extras);
    if (!picture && !it.text.isEmpty())
        w.writeCharacters(it.text);
    for (const CXmlElement &c : it.extras.elements)
        WriteElement(w, c);
    w.writeEndElement();
}

} // namespace

QString ScreenFileVersion()
{
    return QStringLiteral("%1.%2").arg(kMajor).arg(kMinor);
}

bool ParseScreenFile(const QByteArray &bytes, const QString &path, CScreenDoc *doc, QString *error)
{
    *doc = CScreenDoc();
    doc->path = path;
    CXmlElement root;
    const CParseResult r = ParseTree(bytes, &root);
    switch (r.kind) {
    case EParse::Unsafe:
        if (error)
            *error = FormatStr(IDS_SCR_FILE_DTD, qUtf8Printable(path));
        return false;
    case EParse::TooManyNodes:
        if (error)
            *error = FormatStr(IDS_SCR_FILE_TOO_MANY_NODES, qUtf8Printable(path), int(SCREEN_FILE_MAX_NODES));
        return false;
    case EParse::Invalid:
        if (error)
            *error = FormatStr(IDS_SCR_FILE_INVALID, qUtf8Printable(path), r.line, qUtf8Printable(r.reason));
        return false;
    case EParse::Ok:
        break;
    }
    return ReadDoc(root, path, doc, error);
}

bool ReadScreenFile(const QString &path, CScreenDoc *doc, QString *error)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    try {
        int reason = 0;
        const int fd = OpenRegularFile(absolute, &reason);
        QFile file;
        if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            if (fd >= 0)
                ::close(fd);
            if (error)
                *error = FormatStr(IDS_SCR_FILE_UNREADABLE, qUtf8Printable(absolute),
                                   qUtf8Printable(qt_error_string(reason)));
            return false;
        }
        // One byte past the cap, so that files without a size are caught too.
        const QByteArray bytes = file.read(qint64(SCREEN_FILE_MAX_BYTES) + 1);
        if (file.error() != QFileDevice::NoError) {
            if (error)
                *error = FormatStr(IDS_SCR_FILE_UNREADABLE, qUtf8Printable(absolute),
                                   qUtf8Printable(file.errorString()));
            return false;
        }
        if (bytes.size() > SCREEN_FILE_MAX_BYTES) {
            if (error)
                *error = FormatStr(IDS_SCR_FILE_TOO_LARGE, qUtf8Printable(absolute), SCREEN_FILE_MAX_BYTES / 1024);
            return false;
        }
        return ParseScreenFile(bytes, absolute, doc, error);
    } catch (const std::bad_alloc &) {
        if (error)
            *error = FormatStr(IDS_SCR_FILE_UNREADABLE, qUtf8Printable(absolute), "out of memory");
    }
    return false;
}

QByteArray SerializeScreenDoc(const CScreenDoc &doc)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(2);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("Screens"));
    w.writeAttribute(QStringLiteral("Ver"), ScreenFileVersion());
    w.writeAttribute(QStringLiteral("Width"), QString::number(doc.width));
    w.writeAttribute(QStringLiteral("Height"), QString::number(doc.height));
    w.writeAttribute(QStringLiteral("Bpp"), QString::number(doc.bpp));
    WriteExtraAttributes(w, doc.extras);
    for (const CScreenFont &f : doc.fonts) {
        w.writeStartElement(QStringLiteral("Font"));
        w.writeAttribute(QStringLiteral("Size"), TextSizeName(f.size));
        w.writeAttribute(QStringLiteral("File"), f.file);
        WriteExtraAttributes(w, f.extras);
        for (const CXmlElement &c : f.extras.elements)
            WriteElement(w, c);
        w.writeEndElement();
    }
    for (const CScreen &s : doc.screens) {
        w.writeStartElement(QStringLiteral("Screen"));
        w.writeAttribute(QStringLiteral("Name"), s.name);
        w.writeAttribute(QStringLiteral("Slot"), s.slot >= 0 ? QString::number(s.slot) : QString());
        w.writeAttribute(QStringLiteral("Background"), ScreenColorName(s.background));
        static const char *const kDither[] = {"none", "ordered", "diffusion"};
        w.writeAttribute(QStringLiteral("Dither"), QLatin1String(kDither[s.dither >= 0 && s.dither <= 2 ? s.dither : 0]));
        WriteExtraAttributes(w, s.extras);
        for (const CScreenItem &it : s.items)
            WriteItem(w, it);
        for (const CXmlElement &c : s.extras.elements)
            WriteElement(w, c);
        w.writeEndElement();
    }
    for (const CXmlElement &c : doc.extras.elements)
        WriteElement(w, c);
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

bool SaveScreenFile(CScreenDoc *doc, const QString &path, QString *error)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    CScreenDoc checked = *doc;
    checked.path = absolute;
    if (!ValidateScreenDoc(checked, error))
        return false;
    const QByteArray bytes = SerializeScreenDoc(*doc);
    // A path that is not a regular file (a FIFO, a device) is refused, never replaced.
    QString reason;
    if (WriteOutputFile(absolute, bytes, 0, &reason) != COutputResult::Written) {
        if (error)
            *error = FormatStr(IDS_SCR_SAVE_FAILED, qUtf8Printable(absolute), qUtf8Printable(reason));
        return false;
    }
    doc->path = absolute;
    return true;
}
