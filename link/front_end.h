// The device command front end: each operation runs one terminal command (or
// a small composite) and reports its outcome through the terminal's status
// sink, exactly as the device menu does. The dialogs, the batch runner and
// the CLI all call these with values already chosen.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class CMyTerminal;
class CDevInfo;

// Wait indication around the slower operations (the desktop program sets an
// override cursor); called with true before and false after.
void SetWaitCursorHook(std::function<void(bool on)> hook);

bool DevSetMode(CMyTerminal &terminal, int mode);
bool DevSetBaud(CMyTerminal &terminal, int rate);
bool DevClearScreen(CMyTerminal &terminal);
// Slot outside 0 ... max pictures - 1: fails at once with the failure message.
bool DevSavePicture(CMyTerminal &terminal, int slot);
bool DevShowPicture(CMyTerminal &terminal, int slot);
// Clears the screen and stores the blank screen in the slot.
bool DevDeletePicture(CMyTerminal &terminal, int slot);
bool DevDeleteAllPictures(CMyTerminal &terminal);
bool DevShowText(CMyTerminal &terminal, const QString &text, int x, int y, int fontWidth, int fontHeight);
// Colours are 0x00BBGGRR.
bool DevSetColors(CMyTerminal &terminal, uint32_t foreground, uint32_t background);
// TOUCH_CALIBRATE, TOUCH_EXPERIENCE or TOUCH_STOP.
bool DevTouch(CMyTerminal &terminal, int kind);
// What closing the touch experience does while connected: stop, white on
// black, clear, and the text "触摸体验已停止" at 0, 0 in the 32 x 32 font.
// Each step reports itself; nothing is sent when disconnected.
bool DevStopTouchExperience(CMyTerminal &terminal);

// Backlight and brightness report nothing.
bool DevBacklight(CMyTerminal &terminal, bool on);
// Sends the level only when brightness min <= level <= brightness max.
bool DevSetBrightness(CMyTerminal &terminal, int level);
// The level sent for a position of the brightness slider: |position - max|.
int BrightnessFromSlider(const CDevInfo &info, int position);

// Checks of values typed by the user, with the dialogs' failure messages:
// "图象编号无效 (%d-%d)" for a slot outside 0 ... max pictures - 1, and
// "波特率无效" for a rate that is not a baud table rate up to max baud.
bool CheckSlot(CMyTerminal &terminal, int slot);
bool CheckBaudChoice(CMyTerminal &terminal, int rate);
