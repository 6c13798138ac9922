// The screen file (.qels): UTF-8 XML read under the same safe rules as batch
// files (no document type declaration, no entity references, limits on
// size, nodes and depth) and saved atomically.
//
//   <Screens Ver="1.0" Width="480" Height="272" Bpp="16">
//     <Font Size="16x16" File="fonts/hz16.fnt"/>
//     <Screen Name="main" Slot="3" Background="#000000" Dither="none">
//       <Picture File="art/logo.png" X="10" Y="8" Width="120" Height="60" KeepAspect="1"/>
//       <Text X="20" Y="100" Font="16x16" Color="#FFFF00" Back="#000000" Var="temp" MaxChars="6">25</Text>
//     </Screen>
//   </Screens>
//
// Every value is checked (ValidateScreenDoc); attributes and elements this
// program does not know are kept in the model and written back. Attributes
// keep their order; unknown elements are written after the known ones of
// their parent.
#pragma once

#include "screen/screen_doc.h"

#include <QByteArray>
#include <QString>

enum : int {
    SCREEN_FILE_MAX_BYTES = 4 * 1024 * 1024,
    SCREEN_FILE_MAX_NODES = 100000,
    SCREEN_FILE_MAX_DEPTH = 64,
};

// The version this program writes and the newest it reads.
QString ScreenFileVersion();

// Reads a regular file. False with *error, a complete message that names
// the file (and the line where there is one); *doc is then unspecified.
bool ReadScreenFile(const QString &path, CScreenDoc *doc, QString *error);
// The same for bytes already read; path names the file in messages and is
// the base of relative paths.
bool ParseScreenFile(const QByteArray &bytes, const QString &path, CScreenDoc *doc, QString *error);

// The document as the file holds it. Paths are written as they are in the
// model (a designer saving elsewhere rewrites them first).
QByteArray SerializeScreenDoc(const CScreenDoc &doc);
// Checks the document, then writes it through a temporary file that replaces
// path only when complete; on success doc->path becomes the absolute path.
bool SaveScreenFile(CScreenDoc *doc, const QString &path, QString *error);
