// A batch host whose terminal kinds are carried out by the core's own
// operations: the device command front end, and the picture and font sends
// for callers without a preview. The command-line front end derives from it
// and adds the rest; the desktop program may override the sends to go
// through its previews. Outcomes are reported through the terminal's status
// sink, as the device menu does.
#pragma once

#include "batch/batch_host.h"

#include <memory>

class CFontLibrary;

namespace BATCHCMD
{

class CBatchCoreHost : public CBatchHost
{
  public:
    explicit CBatchCoreHost(CMyTerminal &terminal);
    ~CBatchCoreHost() override;

    CMyTerminal &Terminal() override { return m_terminal; }

    bool DevSetMode(int mode) override;
    bool DevSetBaud(int baud) override;
    bool DevClearScreen() override;
    bool SendPictureFile(bool keepAspectRatio, const QString &path, uint32_t bkColor, int slot) override;
    bool DevSavePicture(int slot) override;
    bool DevShowPicture(int slot) override;
    bool DevDeletePicture(int slot) override;
    bool DevDeleteAllPictures() override;
    bool SendFontFile(const QString &path, int width, int height) override;
    bool DevShowText(const QString &text, int x, int y, int fontWidth, int fontHeight) override;
    bool DevSetColors(uint32_t foreground, uint32_t background) override;

  private:
    CMyTerminal &m_terminal;
    std::unique_ptr<CFontLibrary> m_font; // the library of the last font step
};

} // namespace BATCHCMD
