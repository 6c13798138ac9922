#include "screen/c_export.h"

#include "link/protocol_decoder.h"
#include "link/wire_text.h"
#include "res/ids_cexport.h"
#include "res/ids_screen.h"
#include "res/output_file.h"
#include "res/strings.h"
#include "screen/c_identifier.h"
#include "screen/c_source.h"
#include "screen/screen_build.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <iterator>
#include <memory>

namespace
{

// A text with a Var name and what its setter needs.
struct CVarCode {
    const CScreenItem *item = nullptr;
    QString function;     // <prefix>_<screen>_set_<var>
    int cells = 0;        // MaxChars in half-width characters
    QByteArray colors;    // the set-colours frame of its Color and Back
    QByteArray head;      // the show-text frame up to the text
    QString headComment;  // what the frame does, for the comment
};

struct CScreenCode {
    const CScreen *screen = nullptr;
    QString show;         // <prefix>_<screen>_show
    QString picture;      // _store_picture / _send_picture, empty without the picture option
    CScreenPlan plan;
    std::vector<CScreenWire> wire;
    int pictureStep = -1; // the step that sends the picture, -1 when none
    std::vector<CVarCode> vars;
};

struct CExport {
    const CScreenDoc *doc = nullptr;
    CCExportOptions options;
    QString prefix;
    QString upper;
    std::vector<CScreenCode> screens;
    QByteArray textTail;  // terminator and trailer of a show-text frame
    bool anyPicture = false;
};

QString Describe(const QByteArray &frame)
{
    CProtocolDecoder decoder;
    return decoder.DescribeSent(reinterpret_cast<const uint8_t *>(frame.constData()), frame.size()).text;
}

// The frames of the steps as the one builder puts them on the line.
std::vector<CScreenWire> StepsWire(const CScreenPlan &like, std::vector<CScreenStep> steps)
{
    CScreenPlan plan;
    plan.width = like.width;
    plan.height = like.height;
    plan.bpp = like.bpp;
    plan.steps = std::move(steps);
    return ScreenPlanWire(plan);
}

// The setter's constant parts: the colours frame and the show-text frame
// of a field of spaces, cut into head, field and tail.
bool MakeVar(CExport &ex, CScreenCode &sc, const CScreenItem &item, CVarCode *var, QString *error)
{
    var->item = &item;
    var->cells = EffectiveMaxChars(item);
    CScreenStep colors;
    colors.kind = CScreenStep::SetColors;
    colors.fore = item.color;
    colors.back = sc.screen->BackOf(item);
    CScreenStep text;
    text.kind = CScreenStep::ShowText;
    text.x = item.x;
    text.y = item.y;
    text.size = item.size;
    text.text = QString(var->cells, QLatin1Char(' '));
    if (text.text.isNull())
        text.text = QLatin1String("");
    const std::vector<CScreenWire> wire = StepsWire(sc.plan, {colors, text});
    const QByteArray frame = wire.size() == 2 ? wire[1].frame : QByteArray();
    const QByteArray spaces(var->cells, ' ');
    if (wire.size() != 2 || wire[0].frame.isEmpty() || frame.size() != C_TEXT_HEAD + var->cells + 5 ||
        frame.mid(C_TEXT_HEAD, var->cells) != spaces || frame.at(C_TEXT_HEAD + var->cells) != 0) {
        *error = FormatStr(IDS_CEX_FRAME_LAYOUT, qUtf8Printable(sc.screen->name), qUtf8Printable(item.var));
        return false;
    }
    const QByteArray tail = frame.right(5);
    if (!ex.textTail.isEmpty() && ex.textTail != tail) {
        *error = FormatStr(IDS_CEX_FRAME_LAYOUT, qUtf8Printable(sc.screen->name), qUtf8Printable(item.var));
        return false;
    }
    ex.textTail = tail;
    var->colors = wire[0].frame;
    var->head = frame.left(C_TEXT_HEAD);
    var->headComment = Describe(frame);
    return true;
}

// Names every screen, then every variable text, so that no two functions
// of the export get one name whatever the names in the file are.
void NameFunctions(CExport &ex)
{
    QSet<QString> used;
    CIdentifierScope screenScope;
    for (CScreenCode &sc : ex.screens) {
        const bool picture = ex.options.withPicture && sc.pictureStep >= 0;
        const QString pictureSuffix =
            sc.plan.slot >= 0 ? QStringLiteral("_store_picture") : QStringLiteral("_send_picture");
        const QString id = screenScope.Take(sc.screen->name, QStringLiteral("screen"), [&](const QString &part) {
            const QString base = ex.prefix + QLatin1Char('_') + part;
            return !used.contains(base + QLatin1String("_show")) &&
                   !(picture && used.contains(base + pictureSuffix));
        });
        const QString base = ex.prefix + QLatin1Char('_') + id;
        sc.show = base + QLatin1String("_show");
        used.insert(sc.show);
        if (picture) {
            sc.picture = base + pictureSuffix;
            used.insert(sc.picture);
        }
    }
    for (CScreenCode &sc : ex.screens) {
        const QString base = sc.show.left(sc.show.size() - 5) + QLatin1String("_set_");
        CIdentifierScope varScope;
        for (CVarCode &v : sc.vars) {
            const QString id = varScope.Take(v.item->var, QStringLiteral("text"),
                                             [&](const QString &part) { return !used.contains(base + part); });
            v.function = base + id;
            used.insert(v.function);
        }
    }
}

bool Gather(const CScreenDoc &doc, const CCExportOptions &options, CExport *ex, QString *error)
{
    ex->doc = &doc;
    ex->options = options;
    ex->prefix = CExportPrefix(doc, options, error);
    if (ex->prefix.isEmpty())
        return false;
    ex->upper = ex->prefix.toUpper();
    for (size_t i = 0; i < doc.screens.size(); ++i) {
        const CScreen &screen = doc.screens[i];
        if (!options.screen.isEmpty() && screen.name != options.screen)
            continue;
        CScreenCode sc;
        sc.screen = &screen;
        if (!BuildScreenPlan(doc, static_cast<int>(i), &sc.plan, error))
            return false;
        sc.wire = ScreenPlanWire(sc.plan);
        for (size_t s = 0; s < sc.plan.steps.size(); ++s) {
            const bool picture = sc.plan.steps[s].kind == CScreenStep::SendPicture;
            // A step the terminal object refused has put nothing on the line.
            if (s >= sc.wire.size() || sc.wire[s].frame.isEmpty() || (picture && sc.wire[s].block.isEmpty())) {
                *error = FormatStr(IDS_CEX_STEP_FAILED, qUtf8Printable(screen.name), static_cast<int>(s) + 1);
                return false;
            }
            if (picture)
                sc.pictureStep = static_cast<int>(s);
        }
        ex->anyPicture = ex->anyPicture || sc.pictureStep >= 0;
        for (const CScreenItem &item : screen.items) {
            if (item.kind != CItemKind::Text || item.var.isEmpty())
                continue;
            CVarCode var;
            if (!MakeVar(*ex, sc, item, &var, error))
                return false;
            sc.vars.push_back(var);
        }
        ex->screens.push_back(std::move(sc));
    }
    if (ex->screens.empty()) {
        *error = FormatStr(IDS_SCR_NO_SUCH_SCREEN, qUtf8Printable(doc.path), qUtf8Printable(options.screen));
        return false;
    }
    NameFunctions(*ex);
    return true;
}

// The comment block at the top of each file: where it came from, the
// terminal, and what must be in the terminal before the code runs.
QStringList TopComment(const CExport &ex, const QString &fileName)
{
    const CScreenDoc &doc = *ex.doc;
    const QString source = doc.path.isEmpty() ? QStringLiteral("-") : QFileInfo(doc.path).fileName();
    QStringList lines{fileName, FormatStr(IDS_CEX_GENERATED, qUtf8Printable(source)),
                      FormatStr(IDS_CEX_TERMINAL, doc.width, doc.height, doc.bpp), QString()};
    QStringList load;
    for (const CScreenCode &sc : ex.screens) {
        lines << FormatStr(IDS_CEX_SCREEN, qUtf8Printable(sc.screen->name), qUtf8Printable(sc.show));
        if (sc.pictureStep >= 0 && sc.plan.slot >= 0)
            load << QLatin1String("  ") +
                        (sc.picture.isEmpty()
                             ? FormatStr(IDS_CEX_SLOT, sc.plan.slot, qUtf8Printable(sc.screen->name))
                             : FormatStr(IDS_CEX_SLOT_BY, sc.plan.slot, qUtf8Printable(sc.screen->name),
                                         qUtf8Printable(sc.picture)));
    }
    QList<CTextSize> sizes;
    for (const CScreenCode &sc : ex.screens)
        for (const CScreenItem &item : sc.screen->items)
            if (item.kind == CItemKind::Text && !sizes.contains(item.size))
                sizes << item.size;
    for (const CTextSize &size : sizes) {
        const CScreenFont *font = doc.FontFor(size);
        const QByteArray name = TextSizeName(size).toUtf8();
        load << QLatin1String("  ") + (font ? FormatStr(IDS_CEX_FONT, name.constData(), qUtf8Printable(font->file))
                                            : FormatStr(IDS_CEX_FONT_MISSING, name.constData()));
    }
    lines << QString() << LoadStr(IDS_CEX_LOAD_FIRST);
    lines << (load.isEmpty() ? QStringList{QLatin1String("  ") + LoadStr(IDS_CEX_NOTHING)} : load);
    lines << LoadStr(IDS_CEX_TRAVEL) << LoadStr(IDS_CEX_GBK);
    if (ex.options.withPicture && ex.anyPicture)
        lines << LoadStr(IDS_CEX_FLASH_NOTE);
    return lines;
}

QString ShowComment(const CScreenCode &sc)
{
    if (sc.pictureStep < 0)
        return FormatStr(IDS_CEX_SHOW, qUtf8Printable(sc.screen->name));
    if (sc.plan.slot >= 0)
        return FormatStr(IDS_CEX_SHOW_STORED, qUtf8Printable(sc.screen->name), sc.plan.slot);
    return sc.picture.isEmpty() ? FormatStr(IDS_CEX_SHOW_UNSTORED, qUtf8Printable(sc.screen->name))
                                : FormatStr(IDS_CEX_SHOW, qUtf8Printable(sc.screen->name));
}

QString PictureComment(const CScreenCode &sc)
{
    return sc.plan.slot >= 0 ? FormatStr(IDS_CEX_STORE, qUtf8Printable(sc.screen->name), sc.plan.slot)
                             : FormatStr(IDS_CEX_SEND, qUtf8Printable(sc.screen->name));
}

QString SetterComment(const CScreenCode &sc, const CVarCode &v)
{
    return FormatStr(IDS_CEX_SETTER, qUtf8Printable(sc.screen->name), qUtf8Printable(v.item->var), v.cells);
}

QString ShowSignature(const QString &name)
{
    return QStringLiteral("void %1(qel_write_fn write, void *ctx)").arg(name);
}
QString SetterSignature(const QString &name)
{
    return QStringLiteral("void %1(qel_write_fn write, void *ctx, const char *text)").arg(name);
}
QString PictureSignature(const QString &name)
{
    return QStringLiteral("int %1(qel_write_fn write, qel_read_fn read, void *ctx)").arg(name);
}

bool NeedsRead(const CExport &ex)
{
    for (const CScreenCode &sc : ex.screens)
        if (!sc.picture.isEmpty())
            return true;
    return false;
}

QByteArray Header(const CExport &ex, const QString &fileName)
{
    const QString guard = ex.upper + QLatin1String("_SCREENS_H");
    QString out = CCommentBlock(TopComment(ex, fileName));
    out += QStringLiteral("#ifndef %1\n#define %1\n\n#include <stddef.h>\n#include <stdint.h>\n\n").arg(guard);
    out += QLatin1String("#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n");
    out += CWriteCallbackDecl();
    if (NeedsRead(ex))
        out += QLatin1Char('\n') + CReadCallbackDecl();
    for (const CScreenCode &sc : ex.screens) {
        out += QLatin1Char('\n');
        if (!sc.picture.isEmpty())
            out += CCommentBlock({PictureComment(sc)}) + PictureSignature(sc.picture) + QLatin1String(";\n");
        out += CCommentBlock({ShowComment(sc)}) + ShowSignature(sc.show) + QLatin1String(";\n");
        for (const CVarCode &v : sc.vars)
            out += CCommentBlock({SetterComment(sc, v)}) + SetterSignature(v.function) + QLatin1String(";\n");
    }
    out += QStringLiteral("\n#ifdef __cplusplus\n}\n#endif\n\n#endif /* %1 */\n").arg(guard);
    return out.toUtf8();
}

QString ConstArray(const QString &name, const QByteArray &bytes, const QString &comment, int perLine = 12)
{
    return CCommentBlock({comment}, QStringLiteral("    ")) +
           QStringLiteral("    static const uint8_t %1[%2] = {\n").arg(name).arg(bytes.size()) +
           CByteLines(bytes, QStringLiteral("        "), perLine) + QLatin1String("    };\n");
}

QString ShowFunction(const CScreenCode &sc)
{
    QString body;
    QString calls;
    int n = 0;
    for (size_t s = 0; s < sc.wire.size(); ++s) {
        if (static_cast<int>(s) == sc.pictureStep)
            continue;
        const QString name = QStringLiteral("f%1").arg(n++);
        body += ConstArray(name, sc.wire[s].frame, Describe(sc.wire[s].frame));
        calls += QStringLiteral("    write(ctx, %1, sizeof %1);\n").arg(name);
    }
    if (n == 0)
        calls = QLatin1String("    (void)write;\n    (void)ctx;\n");
    return CCommentBlock({ShowComment(sc)}) + ShowSignature(sc.show) + QLatin1String("\n{\n") + body +
           (body.isEmpty() ? QString() : QStringLiteral("\n")) + calls + QLatin1String("}\n");
}

QString SetterFunction(const CExport &ex, const CScreenCode &sc, const CVarCode &v)
{
    QString out = CCommentBlock({SetterComment(sc, v)}) + SetterSignature(v.function) + QLatin1String("\n{\n");
    out += ConstArray(QStringLiteral("colors"), v.colors, Describe(v.colors));
    out += ConstArray(QStringLiteral("head"), v.head, v.headComment);
    out += QStringLiteral("    uint8_t frame[%1 + %2 + sizeof %3_text_tail];\n\n")
               .arg(C_TEXT_HEAD)
               .arg(v.cells)
               .arg(ex.prefix);
    out += QStringLiteral("    %1_text_frame(frame, head, %2, text);\n").arg(ex.prefix).arg(v.cells);
    out += QLatin1String("    write(ctx, colors, sizeof colors);\n    write(ctx, frame, sizeof frame);\n}\n");
    return out;
}

QString PictureFunction(const CExport &ex, const CScreenCode &sc)
{
    const CScreenWire &w = sc.wire[sc.pictureStep];
    const int finalAck = sc.plan.slot >= 0 ? (sc.plan.slot & 0xFF) : 0xFE;
    QString out = CCommentBlock({PictureComment(sc)}) + PictureSignature(sc.picture) + QLatin1String("\n{\n");
    out += ConstArray(QStringLiteral("frame"), w.frame, Describe(w.frame));
    out += ConstArray(QStringLiteral("pixels"), w.block,
                      FormatStr(IDS_CEX_PIXELS, qUtf8Printable(sc.screen->name), sc.plan.width, sc.plan.height,
                                static_cast<int>(w.block.size())),
                      16);
    out += QStringLiteral("\n    return %1_send_block(write, read, ctx, frame, sizeof frame, pixels, %2u, 0x%3);\n}\n")
               .arg(ex.prefix)
               .arg(w.block.size())
               .arg(QString::number(finalAck, 16).toUpper().rightJustified(2, QLatin1Char('0')));
    return out;
}

QByteArray Source(const CExport &ex, const QString &fileName, const QString &headerName)
{
    QString out = CCommentBlock(TopComment(ex, fileName));
    out += QStringLiteral("#include \"%1\"\n").arg(headerName);
    bool anyVar = false;
    for (const CScreenCode &sc : ex.screens)
        anyVar = anyVar || !sc.vars.empty();
    if (NeedsRead(ex)) {
        out += QLatin1Char('\n') + CCommentBlock({LoadStr(IDS_CEX_ACK_TIMEOUT)}) +
               QStringLiteral("#ifndef %1_ACK_TIMEOUT_MS\n#define %1_ACK_TIMEOUT_MS %2u\n#endif\n")
                   .arg(ex.upper)
                   .arg(C_ACK_TIMEOUT_MS);
        out += CCommentBlock({LoadStr(IDS_CEX_BLOCK_PIECE)}) +
               QStringLiteral("#ifndef %1_BLOCK_PIECE\n#define %1_BLOCK_PIECE %2u\n#endif\n")
                   .arg(ex.upper)
                   .arg(C_BLOCK_PIECE);
        out += QLatin1Char('\n') + CBlockTransferFunctions(ex.prefix, ex.upper);
    }
    if (anyVar)
        out += QLatin1Char('\n') + CTextFrameFunction(ex.prefix, ex.textTail);
    for (const CScreenCode &sc : ex.screens) {
        if (!sc.picture.isEmpty())
            out += QLatin1Char('\n') + PictureFunction(ex, sc);
        out += QLatin1Char('\n') + ShowFunction(sc);
        for (const CVarCode &v : sc.vars)
            out += QLatin1Char('\n') + SetterFunction(ex, sc, v);
    }
    return out.toUtf8();
}

} // namespace

QString CExportPrefix(const CScreenDoc &doc, const CCExportOptions &options, QString *error)
{
    if (!options.prefix.isEmpty()) {
        const QString id = CIdentifierPart(options.prefix);
        if (id.isEmpty() && error)
            *error = FormatStr(IDS_CEX_BAD_PREFIX, qUtf8Printable(options.prefix));
        return id;
    }
    const QString id = CIdentifierPart(QFileInfo(doc.path).completeBaseName());
    return id.isEmpty() ? QStringLiteral("screens") : id;
}

namespace
{

QByteArray Sketch(const CExport &ex, const QString &fileName, const QString &headerName, const QString &sourceName)
{
    QStringList top = TopComment(ex, fileName);
    top << QString() << LoadStr(IDS_CEX_SKETCH)
        << FormatStr(IDS_CEX_SKETCH_FILES, qUtf8Printable(headerName), qUtf8Printable(sourceName));
    QString out = CCommentBlock(top);
    out += QStringLiteral("#include \"%1\"\n\n").arg(headerName);
    out += CCommentBlock({LoadStr(IDS_CEX_SKETCH_BAUD)}) +
           QLatin1String("static const unsigned long TERMINAL_BAUD = 115200UL;\n\n");
    out += QLatin1String(R"(static void terminal_write(void *ctx, const uint8_t *data, size_t len)
{
    (void)ctx;
    Serial1.write(data, len);
}
)");
    const bool read = NeedsRead(ex);
    if (read)
        out += QLatin1String(R"(
static int terminal_read(void *ctx, uint8_t *byte, uint32_t timeout_ms)
{
    const unsigned long start = millis();
    (void)ctx;
    for (;;) {
        const int c = Serial1.read();
        if (c >= 0) {
            *byte = (uint8_t)c;
            return 1;
        }
        if ((unsigned long)(millis() - start) >= timeout_ms) {
            return 0;
        }
    }
}
)");
    out += QLatin1String("\nvoid setup()\n{\n    Serial1.begin(TERMINAL_BAUD);\n");
    bool storeComment = false;
    for (const CScreenCode &sc : ex.screens) {
        if (sc.picture.isEmpty() || sc.plan.slot < 0)
            continue;
        if (!storeComment)
            out += CCommentBlock({LoadStr(IDS_CEX_SKETCH_STORE)}, QStringLiteral("    "));
        storeComment = true;
        out += QStringLiteral("    %1(terminal_write, terminal_read, NULL);\n").arg(sc.picture);
    }
    out += QLatin1String("}\n\nvoid loop()\n{\n");
    for (const CScreenCode &sc : ex.screens) {
        if (!sc.picture.isEmpty() && sc.plan.slot < 0)
            out += QStringLiteral("    %1(terminal_write, terminal_read, NULL);\n").arg(sc.picture);
        out += QStringLiteral("    %1(terminal_write, NULL);\n").arg(sc.show);
        for (const CVarCode &v : sc.vars) {
            const QByteArray wire = TextToWire(ToHalfWidth(v.item->text));
            out += QStringLiteral("    %1(terminal_write, NULL, %2); /* %3 */\n")
                       .arg(v.function, CStringLiteral(wire),
                            CCommentText(FormatStr(IDS_CEX_SKETCH_VALUE, qUtf8Printable(v.item->text))));
        }
        out += QLatin1String("    delay(3000);\n");
    }
    out += QLatin1String("}\n");
    return out.toUtf8();
}

QString WriteFailed(const QSaveFile &file)
{
    return FormatStr(IDS_CEX_WRITE_FAILED, qUtf8Printable(QDir::toNativeSeparators(file.fileName())),
                     qUtf8Printable(file.errorString()));
}

} // namespace

bool GenerateScreensC(const CScreenDoc &doc, const CCExportOptions &options, CCExportFiles *files,
                      QString *error)
{
    CExport ex;
    if (!Gather(doc, options, &ex, error))
        return false;
    CCExportFiles out;
    out.prefix = ex.prefix;
    out.headerName = ex.prefix + QLatin1String("_screens.h");
    out.sourceName = ex.prefix + QLatin1String("_screens.c");
    out.sketchName = ex.prefix + QLatin1String("_example.ino");
    out.header = Header(ex, out.headerName);
    out.source = Source(ex, out.sourceName, out.headerName);
    out.sketch = Sketch(ex, out.sketchName, out.headerName, out.sourceName);
    for (const CScreenCode &sc : ex.screens)
        if (sc.pictureStep >= 0 && sc.plan.slot < 0 && sc.picture.isEmpty())
            out.warnings << FormatStr(IDS_CEX_UNSHOWN_PICTURE, qUtf8Printable(sc.screen->name));
    *files = std::move(out);
    return true;
}

bool ExportScreensAsC(const CScreenDoc &doc, const QString &dir, const CCExportOptions &options,
                      QStringList *written, QStringList *warnings, QString *error)
{
    CCExportFiles files;
    if (!GenerateScreensC(doc, options, &files, error))
        return false;
    if (!QDir().mkpath(dir)) {
        *error = FormatStr(IDS_CEX_DIR_FAILED, qUtf8Printable(QDir::toNativeSeparators(dir)));
        return false;
    }
    const QDir folder(dir);
    const std::pair<QString, const QByteArray *> outputs[] = {
        {files.headerName, &files.header}, {files.sourceName, &files.source}, {files.sketchName, &files.sketch}};
    // Each name is judged by the output rule before anything is written: a
    // name that stands for a folder or a block device refuses the whole set
    // and is never replaced; a FIFO or character device is written into.
    std::vector<COutputTarget> targets;
    for (const auto &o : outputs) {
        const QString path = folder.filePath(o.first);
        QString reason;
        targets.push_back(ClassifyOutputPath(path, OUTPUT_DIRECT, &reason));
        if (targets.back() == COutputTarget::Refused) {
            *error = FormatStr(IDS_CEX_WRITE_FAILED, qUtf8Printable(QDir::toNativeSeparators(path)),
                               qUtf8Printable(reason));
            return false;
        }
    }
    // The files are written out before any replaces its old one, so a full
    // disk leaves the old set as it was.
    std::vector<std::unique_ptr<QSaveFile>> saves(std::size(outputs));
    for (size_t i = 0; i < std::size(outputs); ++i) {
        if (targets[i] != COutputTarget::Replace)
            continue;
        saves[i] = std::make_unique<QSaveFile>(folder.filePath(outputs[i].first));
        QSaveFile &file = *saves[i];
        if (!file.open(QIODevice::WriteOnly) || file.write(*outputs[i].second) != outputs[i].second->size()) {
            *error = WriteFailed(file);
            return false;
        }
    }
    for (size_t i = 0; i < std::size(outputs); ++i) {
        const QString path = folder.filePath(outputs[i].first);
        if (saves[i]) {
            if (!saves[i]->commit()) {
                *error = WriteFailed(*saves[i]);
                return false;
            }
        } else {
            QString reason;
            if (WriteOutputFile(path, *outputs[i].second, OUTPUT_DIRECT, &reason) != COutputResult::Written) {
                *error = FormatStr(IDS_CEX_WRITE_FAILED, qUtf8Printable(QDir::toNativeSeparators(path)),
                                   qUtf8Printable(reason));
                return false;
            }
        }
        if (written)
            *written << path;
    }
    if (warnings)
        *warnings = files.warnings;
    return true;
}
