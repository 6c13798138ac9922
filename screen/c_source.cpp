#include "screen/c_source.h"

#include "res/ids_cexport.h"
#include "res/strings.h"

QString CCommentText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        out += (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QChar::LineSeparator ||
                c == QChar::ParagraphSeparator)
                   ? QLatin1Char(' ')
                   : c;
    // "/*" inside a comment is warned about, "*/" ends it, and "??" may
    // start a trigraph in C99: each pair is kept apart by a space.
    for (const char *pair : {"/*", "*/", "??"}) {
        const QString p = QLatin1String(pair);
        const QString apart = QString(p[0]) + QLatin1Char(' ') + p[1];
        while (out.contains(p))
            out.replace(p, apart);
    }
    return out;
}

QString CCommentBlock(const QStringList &lines, const QString &indent)
{
    if (lines.size() == 1 && !lines.front().isEmpty())
        return indent + QLatin1String("/* ") + CCommentText(lines.front()) + QLatin1String(" */\n");
    QString out = indent + QLatin1String("/*\n");
    for (const QString &line : lines) {
        const QString text = CCommentText(line);
        out += indent + (text.isEmpty() ? QLatin1String(" *") : QLatin1String(" * ") + text) +
               QLatin1Char('\n');
    }
    out += indent + QLatin1String(" */\n");
    return out;
}

QString CByteLines(const QByteArray &bytes, const QString &indent, int perLine)
{
    QString out;
    out.reserve(bytes.size() * 6 + bytes.size() / perLine * (indent.size() + 1));
    for (int i = 0; i < bytes.size(); ++i) {
        if (i % perLine == 0)
            out += indent;
        static const char hex[] = "0123456789ABCDEF";
        const uint8_t b = static_cast<uint8_t>(bytes[i]);
        out += QLatin1String("0x");
        out += QLatin1Char(hex[b >> 4]);
        out += QLatin1Char(hex[b & 0x0F]);
        out += QLatin1Char(',');
        out += (i % perLine == perLine - 1 || i + 1 == bytes.size()) ? QLatin1Char('\n') : QLatin1Char(' ');
    }
    return out;
}

QString CStringLiteral(const QByteArray &bytes)
{
    QString out = QStringLiteral("\"");
    for (const char ch : bytes) {
        const uint8_t b = static_cast<uint8_t>(ch);
        if (b == '"' || b == '\\' || b == '?')
            out += QLatin1String("\\") + QLatin1Char(ch);
        else if (b >= 0x20 && b < 0x7F)
            out += QLatin1Char(ch);
        else
            // Three octal digits end the escape whatever follows it.
            out += QStringLiteral("\\%1").arg(b, 3, 8, QLatin1Char('0'));
    }
    return out + QLatin1Char('"');
}

QString CWriteCallbackDecl()
{
    return QLatin1String("#ifndef QEL_WRITE_FN_DEFINED\n#define QEL_WRITE_FN_DEFINED\n") +
           CCommentBlock({LoadStr(IDS_CEX_WRITE_FN)}) +
           QLatin1String("typedef void (*qel_write_fn)(void *ctx, const uint8_t *data, size_t len);\n#endif\n");
}

QString CReadCallbackDecl()
{
    return QLatin1String("#ifndef QEL_READ_FN_DEFINED\n#define QEL_READ_FN_DEFINED\n") +
           CCommentBlock({LoadStr(IDS_CEX_READ_FN)}) +
           QLatin1String("typedef int (*qel_read_fn)(void *ctx, uint8_t *byte, uint32_t timeout_ms);\n#endif\n");
}

QString CTextFrameFunction(const QString &prefix, const QByteArray &tail)
{
    // GBK: a lead byte 81-FE and a trail byte 40-FE (not 7F) make one
    // full-width character. The full-width forms that the desktop program
    // sends half-width: A3A1-A3FD except A3A4 (ASCII 21-7D), A1A1 (space),
    // A1AB (~) and A1E7 ($).
    static const char *const body = R"(static void @P@_text_frame(uint8_t *frame, const uint8_t *head, size_t cells, const char *text)
{
    const unsigned char *s = (const unsigned char *)text;
    uint8_t *field = frame + @HEAD@;
    size_t n = 0;
    size_t i;
    for (i = 0; i < @HEAD@; ++i) {
        frame[i] = head[i];
    }
    while (s != NULL && s[0] != 0 && n < cells) {
        const unsigned char lead = s[0];
        const unsigned char trail = s[1];
        if (lead < 0x80) {
            field[n++] = lead;
            s += 1;
        } else if (lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
            if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFD && trail != 0xA4) {
                field[n++] = (uint8_t)(trail - 0x80);
            } else if (lead == 0xA1 && (trail == 0xA1 || trail == 0xAB || trail == 0xE7)) {
                field[n++] = trail == 0xA1 ? 0x20 : trail == 0xAB ? 0x7E : 0x24;
            } else if (cells - n >= 2) {
                field[n++] = lead;
                field[n++] = trail;
            } else {
                break;
            }
            s += 2;
        } else {
            field[n++] = 0x3F;
            s += 1;
        }
    }
    while (n < cells) {
        field[n++] = 0x20;
    }
    for (i = 0; i < sizeof @P@_text_tail; ++i) {
        field[cells + i] = @P@_text_tail[i];
    }
}
)";
    return QStringLiteral("static const uint8_t %1_text_tail[] = {\n").arg(prefix) +
           CByteLines(tail, QStringLiteral("    ")) + QLatin1String("};\n\n") +
           CCommentBlock({LoadStr(IDS_CEX_TEXT_FN)}) +
           QString::fromLatin1(body)
               .replace(QLatin1String("@P@"), prefix)
               .replace(QLatin1String("@HEAD@"), QString::number(C_TEXT_HEAD));
}

QString CBlockTransferFunctions(const QString &prefix, const QString &upper)
{
    static const char *const drop = R"(static void @P@_drop_input(qel_read_fn read, void *ctx)
{
    uint8_t byte;
    int n = 0;
    while (n < 64 && read(ctx, &byte, 0) == 1) {
        ++n;
    }
}
)";
    static const char *const ack = R"(static int @P@_await_ack(qel_read_fn read, void *ctx, uint8_t expected)
{
    uint8_t byte = 0;
    return read(ctx, &byte, @U@_ACK_TIMEOUT_MS) == 1 && byte == expected;
}
)";
    static const char *const block = R"(static int @P@_send_block(qel_write_fn write, qel_read_fn read, void *ctx, const uint8_t *frame,
                          size_t frame_len, const uint8_t *data, uint32_t size, uint8_t final_ack)
{
    uint32_t sent = 0;
    @P@_drop_input(read, ctx);
    write(ctx, frame, frame_len);
    if (!@P@_await_ack(read, ctx, 0xFC)) {
        return 0;
    }
    while (sent < size) {
        const uint32_t piece = size - sent < @U@_BLOCK_PIECE ? size - sent : @U@_BLOCK_PIECE;
        write(ctx, data + sent, (size_t)piece);
        sent += piece;
    }
    return @P@_await_ack(read, ctx, final_ack);
}
)";
    auto fill = [&](const char *text) {
        return QString::fromLatin1(text).replace(QLatin1String("@P@"), prefix).replace(QLatin1String("@U@"), upper);
    };
    return CCommentBlock({LoadStr(IDS_CEX_DROP_FN)}) + fill(drop) + QLatin1Char('\n') +
           CCommentBlock({LoadStr(IDS_CEX_ACK_FN)}) + fill(ack) + QLatin1Char('\n') +
           CCommentBlock({LoadStr(IDS_CEX_BLOCK_FN)}) + fill(block);
}
