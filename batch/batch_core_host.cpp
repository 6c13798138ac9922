#include "batch/batch_core_host.h"

#include "imaging/font_library.h"
#include "imaging/picture_send.h"
#include "link/front_end.h"
#include "link/terminal.h"

namespace BATCHCMD
{

CBatchCoreHost::CBatchCoreHost(CMyTerminal &terminal)
    : m_terminal(terminal), m_font(std::make_unique<CFontLibrary>())
{
}

CBatchCoreHost::~CBatchCoreHost() = default;

bool CBatchCoreHost::DevSetMode(int mode)
{
    return ::DevSetMode(m_terminal, mode);
}

bool CBatchCoreHost::DevSetBaud(int baud)
{
    return ::DevSetBaud(m_terminal, baud);
}

bool CBatchCoreHost::DevClearScreen()
{
    return ::DevClearScreen(m_terminal);
}

bool CBatchCoreHost::SendPictureFile(bool keepAspectRatio, const QString &path, uint32_t bkColor, int slot)
{
    return ::SendPictureFile(m_terminal, keepAspectRatio, path, bkColor, slot, nullptr);
}

bool CBatchCoreHost::DevSavePicture(int slot)
{
    return ::DevSavePicture(m_terminal, slot);
}

bool CBatchCoreHost::DevShowPicture(int slot)
{
    return ::DevShowPicture(m_terminal, slot);
}

bool CBatchCoreHost::DevDeletePicture(int slot)
{
    return ::DevDeletePicture(m_terminal, slot);
}

bool CBatchCoreHost::DevDeleteAllPictures()
{
    return ::DevDeleteAllPictures(m_terminal);
}

bool CBatchCoreHost::SendFontFile(const QString &path, int width, int height)
{
    return ::SendFontFile(m_terminal, *m_font, path, width, height, nullptr);
}

bool CBatchCoreHost::DevShowText(const QString &text, int x, int y, int fontWidth, int fontHeight)
{
    return ::DevShowText(m_terminal, text, x, y, fontWidth, fontHeight);
}

bool CBatchCoreHost::DevSetColors(uint32_t foreground, uint32_t background)
{
    return ::DevSetColors(m_terminal, foreground, background);
}

} // namespace BATCHCMD
