// The picture transfer shared by the picture preview, the batch runner and
// the command-line program: extract the pixels in the terminal's format,
// hand them to the terminal's picture dispatcher, report the outcome.
#pragma once

#include "imaging/dither.h"

#include <QImage>
#include <QString>
#include <cstdint>

class CDevInfo;
class CMyTerminal;
class CStatusSink;

// Bytes of one picture for the terminal: width x height x bytes per pixel;
// 0 while its resolution is unknown.
qint64 TerminalPictureBytes(const CDevInfo &info);

// Sends a fitted picture (slot -1: display only). Returns false without any
// message when there is no picture or the port is closed. A picture whose
// pixel data is not exactly one screen of the connected terminal (width x
// height x bytes per pixel) is refused with a message and nothing is sent.
// Otherwise reports success or failure with path through status (the
// terminal's status sink when null).
bool SendPicture(CMyTerminal &terminal, const QImage &picture, const QString &path, int slot,
                 CStatusSink *status = nullptr);

// Decodes path fitted to the terminal's resolution and pixel format (its own
// size while no terminal is identified), dithered as asked on a 16-bit
// terminal. A file that cannot be opened is reported as such and gives a
// null image.
QImage LoadPictureForTerminal(const CMyTerminal &terminal, const QString &path, bool keepAspect,
                              uint32_t bkColor, CStatusSink *status = nullptr,
                              CDither dither = CDither::None);

// Load and send in one step, for callers without a preview.
bool SendPictureFile(CMyTerminal &terminal, bool keepAspect, const QString &path, uint32_t bkColor, int slot,
                     CStatusSink *status = nullptr, CDither dither = CDither::None);
