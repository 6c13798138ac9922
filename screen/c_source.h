// Pieces of C source text for the code export: comments that hold any text,
// byte arrays, string literals, and the small run-time functions the
// generated code needs (the text field of a setter, the acknowledged data
// block transfer). The run-time functions are written for C99 on small
// controllers: no library calls, constant tables, a frame at most on the stack.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text that can stand inside a /* */ comment: no comment delimiters, no
// trigraphs, no control characters.
QString CCommentText(const QString &text);
// A comment: "/* text */" for one line, else a block of "/*", " * line"
// for each line (empty lines as " *"), " */"; each line indented by indent.
QString CCommentBlock(const QStringList &lines, const QString &indent = QString());
// The bytes as "0xFD, 0x30, ..." lines of perLine bytes, each indented.
QString CByteLines(const QByteArray &bytes, const QString &indent, int perLine = 12);
// The bytes as a C string literal: printable ASCII as it is, everything
// else (and ", \, ?) escaped, bytes from 0x80 as three-digit octal.
QString CStringLiteral(const QByteArray &bytes);

// The typedefs of the callbacks, each guarded so that headers of several
// exports can be included together.
QString CWriteCallbackDecl();
QString CReadCallbackDecl();

// The show-text frame of a setter, built at run time: <prefix>_text_frame
// copies the C_TEXT_HEAD bytes of head (start, code, length, position),
// the text as a field of cells half-width characters, and tail (the
// terminator and the frame's trailer, kept as <prefix>_text_tail).
QString CTextFrameFunction(const QString &prefix, const QByteArray &tail);
// The acknowledged data block transfer: <prefix>_drop_input,
// <prefix>_await_ack, <prefix>_send_block; upper is the prefix for macros.
QString CBlockTransferFunctions(const QString &prefix, const QString &upper);

// The acknowledgement wait of the desktop program (80 tries x 200 ms), the
// default of <PREFIX>_ACK_TIMEOUT_MS.
enum : int { C_ACK_TIMEOUT_MS = 16000, C_BLOCK_PIECE = 1024 };
// Bytes before the text of a show-text frame: FD, code, length (2), x (2), y (2).
enum : int { C_TEXT_HEAD = 8 };
