#include "link/front_end.h"

#include <cstdlib>
#include <utility>

#include "link/baud_table.h"
#include "link/terminal.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

std::function<void(bool)> &WaitHook()
{
    static std::function<void(bool)> hook;
    return hook;
}

class CWaitCursor {
public:
    CWaitCursor()
    {
        if (WaitHook())
            WaitHook()(true);
    }
    ~CWaitCursor()
    {
        if (WaitHook())
            WaitHook()(false);
    }
    CWaitCursor(const CWaitCursor &) = delete;
    CWaitCursor &operator=(const CWaitCursor &) = delete;
};

void Show(CMyTerminal &terminal, int kind, const QString &text)
{
    if (CStatusSink *sink = terminal.StatusSink())
        sink->ShowStatusMessage(kind, text);
}

// Shows the success or the failure message and passes the result on.
bool Report(CMyTerminal &terminal, bool ok, int okId, int failedId)
{
    Show(terminal, ok ? STATUS_SUCCESS : STATUS_FAILURE, LoadStr(ok ? okId : failedId));
    return ok;
}

bool SlotInRange(const CMyTerminal &terminal, int slot)
{
    return slot >= 0 && slot <= terminal.Info().maxPictures - 1;
}

} // namespace

void SetWaitCursorHook(std::function<void(bool on)> hook)
{
    WaitHook() = std::move(hook);
}

bool DevSetMode(CMyTerminal &terminal, int mode)
{
    return Report(terminal, terminal.CmdSetMode(mode), IDS_SETMODE_OK, IDS_SETMODE_FAILED);
}

bool DevSetBaud(CMyTerminal &terminal, int rate)
{
    const bool ok = terminal.CmdSetTerminalBaud(rate);
    if (!ok || !terminal.IsNetworkLink())
        return Report(terminal, ok, IDS_SETBAUD_OK, IDS_SETBAUD_FAILED);
    // Over a network bridge the line rate is set in the bridge, not here.
    Show(terminal, STATUS_SUCCESS, LoadStr(IDS_SETBAUD_OK) + LoadStr(IDS_NET_BAUD_NOTE));
    return true;
}

bool DevClearScreen(CMyTerminal &terminal)
{
    return Report(terminal, terminal.CmdClearScreen(), IDS_CLEARSCREEN_OK, IDS_CLEARSCREEN_FAILED);
}

bool DevSavePicture(CMyTerminal &terminal, int slot)
{
    bool ok = false;
    if (SlotInRange(terminal, slot)) {
        CWaitCursor wait;
        ok = terminal.CmdSaveScreen(slot);
    }
    return Report(terminal, ok, IDS_SAVEPICTURE_OK, IDS_SAVEPICTURE_FAILED);
}

bool DevShowPicture(CMyTerminal &terminal, int slot)
{
    const bool ok = SlotInRange(terminal, slot) && terminal.CmdShowPicture(slot);
    return Report(terminal, ok, IDS_SHOWPICTURE_OK, IDS_SHOWPICTURE_FAILED);
}

bool DevDeletePicture(CMyTerminal &terminal, int slot)
{
    // Checked before the screen is cleared: nothing is sent for a slot that
    // cannot be named.
    bool ok = terminal.CheckWireSlot(slot) && terminal.CmdClearScreen();
    if (ok) {
        CWaitCursor wait;
        ok = terminal.CmdSaveScreen(slot);
    }
    return Report(terminal, ok, IDS_DELETEPICTURE_OK, IDS_DELETEPICTURE_FAILED);
}

bool DevDeleteAllPictures(CMyTerminal &terminal)
{
    bool ok;
    {
        CWaitCursor wait;
        ok = terminal.DeleteAllPictures();
    }
    return Report(terminal, ok, IDS_DELETEALL_OK, IDS_DELETEALL_FAILED);
}

bool DevShowText(CMyTerminal &terminal, const QString &text, int x, int y, int fontWidth, int fontHeight)
{
    const bool ok = terminal.CmdShowText(x, y, fontWidth, fontHeight, text);
    return Report(terminal, ok, IDS_SHOWTEXT_OK, IDS_SHOWTEXT_FAILED);
}

bool DevSetColors(CMyTerminal &terminal, uint32_t foreground, uint32_t background)
{
    return Report(terminal, terminal.CmdSetColors(foreground, background), IDS_SETCOLORS_OK,
                  IDS_SETCOLORS_FAILED);
}

bool DevTouch(CMyTerminal &terminal, int kind)
{
    const bool ok = terminal.CmdTouch(kind);
    switch (kind) {
    case TOUCH_CALIBRATE:
        return Report(terminal, ok, IDS_TOUCH_CALIBRATE_OK, IDS_TOUCH_CALIBRATE_FAILED);
    case TOUCH_EXPERIENCE:
        return Report(terminal, ok, IDS_TOUCH_EXPERIENCE_OK, IDS_TOUCH_EXPERIENCE_FAILED);
    case TOUCH_STOP:
        return Report(terminal, ok, IDS_TOUCH_STOP_OK, IDS_TOUCH_STOP_FAILED);
    default:
        return false;
    }
}

bool DevStopTouchExperience(CMyTerminal &terminal)
{
    if (!terminal.IsConnected())
        return false;
    bool ok = DevTouch(terminal, TOUCH_STOP);
    ok = DevSetColors(terminal, 0xFFFFFFu, 0x000000u) && ok;
    ok = DevClearScreen(terminal) && ok;
    // Shown on the terminal, whose screen and fonts do not follow the
    // interface language: always the Chinese text.
    ok = DevShowText(terminal, LoadStrIn(StrLang::Chinese, IDS_TOUCH_STOPPED_TEXT), 0, 0, 32, 32) && ok;
    return ok;
}

bool DevBacklight(CMyTerminal &terminal, bool on)
{
    return on ? terminal.CmdBacklightOn() : terminal.CmdBacklightOff();
}

bool DevSetBrightness(CMyTerminal &terminal, int level)
{
    const CDevInfo &info = terminal.Info();
    if (level < info.brightnessMin || level > info.brightnessMax)
        return false;
    return terminal.CmdSetBrightness(level);
}

int BrightnessFromSlider(const CDevInfo &info, int position)
{
    return std::abs(position - info.brightnessMax);
}

bool CheckSlot(CMyTerminal &terminal, int slot)
{
    if (SlotInRange(terminal, slot))
        return true;
    Show(terminal, STATUS_FAILURE, FormatStr(IDS_SLOT_INVALID, 0, terminal.Info().maxPictures - 1));
    return false;
}

bool CheckBaudChoice(CMyTerminal &terminal, int rate)
{
    for (const CBaudItem &item : BaudListUpTo(terminal.Info().maxBaud))
        if (item.rate == rate)
            return true;
    Show(terminal, STATUS_FAILURE, LoadStr(IDS_BAUD_INVALID));
    return false;
}
