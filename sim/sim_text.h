// The simulator's own texts (window, help, log and messages) in Chinese and
// English. The language changes only what people read: what the terminal
// sends and draws stays the same.
#pragma once

#include <QString>
#include <QStringList>

namespace qelsim
{

enum class SimLang { Chinese, English };

enum SimText : int {
    // start-up and ports
    T_NO_DISPLAY,
    T_SIGNALFD_FAILED,
    T_PTY_OPEN_FAILED,
    T_PORT_DIR_FAILED,
    T_LINK_NOT_SYMLINK,
    T_LINK_FAILED,
    T_TCP_BAD_ADDRESS,
    T_TCP_RESOLVE_FAILED,
    T_TCP_LISTEN_FAILED,
    T_LOG_OPEN_FAILED,
    T_SLOTS_DIR_FAILED,
    T_SLOT_IGNORED,
    T_SCREEN_SAVE_FAILED,
    T_SLOT_SAVE_FAILED,
    T_PIPE_FAILED,
    // command line
    T_DESCRIPTION,
    T_HELP_TAIL,
    T_OPT_HELP,
    T_OPT_PROFILE,
    T_OPT_SIZE,
    T_OPT_BPP,
    T_OPT_SLOTS,
    T_OPT_BAUD,
    T_OPT_MAX_BAUD,
    T_OPT_FIRMWARE,
    T_OPT_PROGRAM_VERSION,
    T_USAGE,
    T_OPTIONS,
    T_OPT_DELAY,
    T_OPT_HARD_FONT,
    T_OPT_MODE,
    T_OPT_NAME,
    T_OPT_LINK,
    T_OPT_REPLY_DELAY,
    T_OPT_PACE,
    T_OPT_HEADLESS,
    T_OPT_LOG,
    T_OPT_SCREEN,
    T_OPT_SLOTS_DIR,
    T_OPT_FAULT,
    T_OPT_TCP,
    T_OPT_LANG,
    T_ERR_EXTRA_ARGS,
    T_ERR_LANG,
    T_ERR_PROFILE,
    T_ERR_FIXED_PROFILE,
    T_ERR_SIZE,
    T_ERR_BPP,
    T_ERR_SLOTS,
    T_ERR_BAUD,
    T_ERR_MAX_BAUD,
    T_ERR_BAUD_ABOVE_MAX,
    T_ERR_VERSION,
    T_ERR_DELAY,
    T_ERR_HARD_FONT,
    T_ERR_MODE_PROFILE,
    T_ERR_MODE,
    T_ERR_NAME,
    T_ERR_REPLY_DELAY,
    T_ERR_FAULT_ARG,
    T_ERR_FAULT,
    // window
    T_WINDOW_TITLE,
    T_SAVED_PICTURES,
    T_RESTART_BUTTON,
    T_LINE_CUT,
    T_RATE,
    T_RATE_MISMATCH,
    T_RATE_PENDING,
    T_MODE,
    T_NO_MODES,
    T_BACKLIGHT,
    T_BACKLIGHT_OFF,
    T_LAST_COMMAND,
    // the window's names of the terminal's commands
    T_CMD_RESTART,
    T_CMD_CLEAR,
    T_CMD_SET_COLORS,
    T_CMD_SET_COLORS_TO,
    T_CMD_BACKLIGHT_OFF,
    T_CMD_BACKLIGHT_ON,
    T_CMD_BRIGHTNESS,
    T_CMD_BRIGHTNESS_TO,
    T_CMD_SHOW_PICTURE,
    T_CMD_SHOW_PICTURE_N,
    T_CMD_SAVE_SCREEN,
    T_CMD_SAVE_SCREEN_N,
    T_CMD_UNKNOWN,
    T_CMD_HANDSHAKE,
    T_CMD_DEVICE_INFO,
    T_CMD_SET_BAUD,
    T_CMD_SET_BAUD_TO,
    T_CMD_SET_MODE,
    T_CMD_SET_MODE_TO,
    T_CMD_TEXT,
    T_CMD_TEXT_AT,
    T_CMD_FONT,
    T_CMD_FONT_SIZE,
    T_CMD_PICTURE_TO_SCREEN,
    T_CMD_SEND_STORE,
    T_CMD_SEND_STORE_N,
    T_FONT_DOWNLOADED,
    T_FONT_RECEIVED,
    T_PICTURE_STORED,
    T_PICTURE_SHOWN,
    T_CMD_TOUCH_STOP,
    T_CMD_TOUCH_CALIBRATE,
    T_CMD_TOUCH_EXPERIENCE,
    T_COUNT
};

// Chooses the language of Tx (once, at start).
void SetSimLang(SimLang lang);
SimLang CurrentSimLang();

// "zh" or "en", any case, with an optional region or encoding after '_', '-'
// or '.' ("en_GB.UTF-8"); false for anything else.
bool ParseSimLang(const QString &code, SimLang *lang);

// The language asked for: the value of --lang (as "--lang X" or "--lang=X",
// up to "--") when it names one, else QEL_LANG's when that does, else Chinese.
// A bad --lang value is reported by the command-line parser.
SimLang ChooseSimLang(const QStringList &args, const QString &envValue);

// The text in the current language, or in a given one.
QString Tx(SimText id);
QString TxIn(SimLang lang, SimText id);

} // namespace qelsim
