// C code for the microcontroller that drives a terminal: the screens of a
// screen file as plain C99 (no malloc, no stdio, no floating point, constant
// frames that stay in flash) writing through a callback the caller supplies.
//
//   <prefix>_screens.h    the callback types and one function per screen and per variable text
//   <prefix>_screens.c    the frames, built by the one screen builder, as constant arrays
//   <prefix>_example.ino  an Arduino sketch that shows each screen on Serial1
//
// <prefix>_<screen>_show sends what "screen send" sends after the picture
// transfer (show the stored picture, colours, texts); with the picture
// option, <prefix>_<screen>_store_picture (or _send_picture for a screen
// without slot) sends the picture itself with the acknowledged transfer.
// <prefix>_<screen>_set_<var> rebuilds the show-text frame of a variable
// text at run time from a GBK value, padded or cut to its MaxChars.
#pragma once

#include "screen/screen_doc.h"

#include <QString>
#include <QStringList>

struct CCExportOptions {
    QString prefix;            // empty: made from the screen file's name
    bool withPicture = false;  // also the pictures and their transfer
    QString screen;            // only this screen; empty: every screen
};

// The three files in memory.
struct CCExportFiles {
    QString prefix;            // the prefix as used in the names
    QString headerName, sourceName, sketchName;
    QByteArray header, source, sketch;
    // Things the user should know (a picture the code does not send).
    QStringList warnings;
};

// The prefix the options give for the document: the option made a C name,
// else the file's base name, else "screens". Empty (with *error) when a
// given prefix keeps nothing a C name can hold.
QString CExportPrefix(const CScreenDoc &doc, const CCExportOptions &options, QString *error);

// Builds every screen with the screen builder and writes the files'
// contents. False with a message when a screen cannot be built.
bool GenerateScreensC(const CScreenDoc &doc, const CCExportOptions &options, CCExportFiles *files,
                      QString *error);

// The designer's and the command line's export: generates the files and
// writes them into dir (created when missing), each replaced only when
// complete; names are judged by the output rule (res/output_file.h) first,
// and nothing is written when one is refused or the code cannot be
// generated. *written gets the paths written.
bool ExportScreensAsC(const CScreenDoc &doc, const QString &dir, const CCExportOptions &options,
                      QStringList *written, QStringList *warnings, QString *error);
