// The one builder of a screen's command sequence, used by the designer,
// "qelcli screen send", the batch export and the C export:
//   1. With pictures: the background and the pictures (each fitted into its
//      box by the picture preview's rule, composed in file order) make one
//      full-screen picture, converted to the terminal's pixel format with the
//      screen's dithering; stored in the slot and shown (0x31, then 0x30), or
//      shown only (0x35) without a slot. Without pictures: colours white on
//      the background, then clear screen.
//   2. Each text in file order: colours (Color, Back) when they differ from
//      the last sent, then show text at its position in its size.
// A plan is built completely (every picture read) before anything is sent,
// so a screen that cannot be built sends nothing.
#pragma once

#include "screen/screen_doc.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

class CMyTerminal;
class CStatusSink;

struct CScreenStep {
    enum Kind { SendPicture, ShowPicture, SetColors, ClearScreen, ShowText };
    Kind kind = ClearScreen;
    int slot = -1;         // SendPicture (-1: show only) and ShowPicture
    uint32_t fore = 0;     // SetColors, 0x00BBGGRR
    uint32_t back = 0;
    int x = 0;             // ShowText
    int y = 0;
    CTextSize size;
    QString text;
    int item = -1;         // the screen item a text step shows; -1 otherwise
};

struct CScreenPlan {
    QString file;          // the screen file (absolute), for messages
    QString screen;        // the screen's name
    int width = 0;
    int height = 0;
    int bpp = 16;
    int slot = -1;
    // The composed picture in the terminal's format (Format_RGB16 or
    // Format_BGR888); null for a screen without pictures.
    QImage picture;
    std::vector<CScreenStep> steps;
};

// The background and the screen's pictures composed at 8 bits per channel
// (Format_RGB32). Pictures are decoded under the rules of every picture the
// program reads; false with a message naming the first that cannot be used.
bool ComposeScreenPictures(const CScreenDoc &doc, const CScreen &screen, QImage *canvas, QString *error);
// The composed canvas in the terminal's pixel format: RGB 5-6-5 with the
// dither method (0, 1, 2 as CDither) or 8-8-8.
QImage ToTerminalFormat(const QImage &canvas, int bpp, int dither);

// Checks the document and builds the plan of one screen.
bool BuildScreenPlan(const CScreenDoc &doc, int screenIndex, CScreenPlan *plan, QString *error);

// Whether the connected terminal can take the plan: the same resolution and
// depth, and the slot within its picture slots.
bool CheckScreenTerminal(const CMyTerminal &terminal, const CScreenPlan &plan, QString *error);
// One step through the terminal's own operations (the ones a batch runs).
bool RunScreenStep(CMyTerminal &terminal, const CScreenPlan &plan, const CScreenStep &step);
// Checks the terminal (nothing is sent when it does not fit), runs the steps
// in order and stops at the first failure. Reports the outcome, or why it
// could not start, through status (the terminal's sink when null).
bool SendScreenPlan(CMyTerminal &terminal, const CScreenPlan &plan, CStatusSink *status = nullptr);

// What each step puts on the line: its frame and, for the picture, the data
// block (16-bit pixels high byte first). Made by running the steps through a
// terminal object on a recorder, for a terminal identified by its device
// information with the plan's size and depth and 256 slots; so these are the
// bytes SendScreenPlan writes to such a terminal.
struct CScreenWire {
    QByteArray frame;
    QByteArray block;
};
std::vector<CScreenWire> ScreenPlanWire(const CScreenPlan &plan);
