#include "screen/screen_build.h"

#include "imaging/dither.h"
#include "imaging/image_fit.h"
#include "imaging/pixel_format.h"
#include "imaging/pixels.h"
#include "link/terminal.h"
#include "res/ids_screen.h"
#include "res/strings.h"

#include <QFileInfo>
#include <QPainter>
#include <deque>
#include <exception>
#include <mutex>

namespace
{

int PixelCodeOf(int bpp)
{
    return bpp == 24 ? PIXEL_CODE_RGB24 : PIXEL_CODE_RGB565;
}

QString PlanName(const CScreenPlan &plan)
{
    return QStringLiteral("%1 [%2]").arg(QFileInfo(plan.file).fileName(), plan.screen);
}

void Report(CMyTerminal &terminal, CStatusSink *status, int kind, const QString &text)
{
    CStatusSink *sink = status ? status : terminal.StatusSink();
    if (sink)
        sink->ShowStatusMessage(kind, text);
}

// A line that records what the terminal object writes, one step at a time,
// and answers the acknowledgements that step waits for as soon as its frame
// has gone out (the frame's purge would drop them if queued before).
class CRecorder : public CTransport
{
  public:
    void BeginStep(std::vector<uint8_t> acks)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_acks = std::move(acks);
        m_writes = 0;
        m_wire.emplace_back();
    }
    std::vector<CScreenWire> Take() { return std::move(m_wire); }

    bool IsOpen() const override { return true; }
    void Close() override {}
    bool Write(const uint8_t *data, int size, int *written) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_wire.empty())
            m_wire.emplace_back();
        CScreenWire &w = m_wire.back();
        const char *bytes = reinterpret_cast<const char *>(data);
        if (m_writes++ == 0) {
            w.frame.append(bytes, size);
            m_input.insert(m_input.end(), m_acks.begin(), m_acks.end());
        } else {
            w.block.append(bytes, size);
        }
        *written = size;
        return true;
    }
    bool Read(uint8_t *data, int size, int *got) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        *got = 0;
        while (*got < size && !m_input.empty()) {
            data[(*got)++] = m_input.front();
            m_input.pop_front();
        }
        return true;
    }
    bool WaitReadable(int) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return !m_input.empty();
    }
    bool Purge(int) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_input.clear();
        return true;
    }
    bool Drain() override { return true; }
    int GetPortBaud() override { return 115200; }
    bool SetPortBaud(int) override { return true; }
    uint32_t GetLastError() const override { return 0; }
    void SetLastError(uint32_t) override {}

  private:
    std::mutex m_mutex;
    std::vector<uint8_t> m_acks;
    std::deque<uint8_t> m_input;
    int m_writes = 0;
    std::vector<CScreenWire> m_wire;
};

} // namespace

bool ComposeScreenPictures(const CScreenDoc &doc, const CScreen &screen, QImage *canvas, QString *error)
{
    QImage out(doc.width, doc.height, QImage::Format_RGB32);
    if (out.isNull())
        return false;
    out.fill(QColor::fromRgb(ColorRefToArgb(screen.background)));
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const CScreenItem &it : screen.items) {
        if (it.kind != CItemKind::Picture)
            continue;
        const QString path = doc.ResolvePath(it.file);
        QString why;
        // The file's own size and format: the box decides the drawn size.
        const QImage source = LoadFittedImage(path, 0, 0, 0, NO_BK_COLOR, true, &why);
        if (source.isNull()) {
            if (error)
                *error = FormatStr(IDS_SCR_PICTURE_ERROR, qUtf8Printable(screen.name), qUtf8Printable(path),
                                   qUtf8Printable(why.isEmpty() ? FormatStr(IDS_IMG_OPEN_PICTURE_ERROR, qUtf8Printable(path))
                                                                : why));
            return false;
        }
        const CFitRect r = FitGeometry(source.width(), source.height(), it.width, it.height, it.keepAspect);
        if (r.width > 0 && r.height > 0)
            painter.drawImage(QRect(it.x + r.x, it.y + r.y, r.width, r.height), source);
    }
    painter.end();
    *canvas = out;
    return true;
}

QImage ToTerminalFormat(const QImage &canvas, int bpp, int dither)
{
    if (bpp == 24)
        return canvas.convertToFormat(QImage::Format_BGR888);
    return DitherToRgb565(canvas, DitherFromInt(dither));
}

bool BuildScreenPlan(const CScreenDoc &doc, int screenIndex, CScreenPlan *plan, QString *error)
{
    if (!ValidateScreenDoc(doc, error))
        return false;
    if (screenIndex < 0 || screenIndex >= static_cast<int>(doc.screens.size()))
        return false;
    const CScreen &screen = doc.screens[screenIndex];
    CScreenPlan p;
    p.file = doc.path;
    p.screen = screen.name;
    p.width = doc.width;
    p.height = doc.height;
    p.bpp = doc.bpp;
    p.slot = screen.slot;

    bool pictures = false;
    for (const CScreenItem &it : screen.items)
        pictures = pictures || it.kind == CItemKind::Picture;
    if (pictures) {
        QImage canvas;
        if (!ComposeScreenPictures(doc, screen, &canvas, error))
            return false;
        p.picture = ToTerminalFormat(canvas, doc.bpp, screen.dither);
        CScreenStep send;
        send.kind = CScreenStep::SendPicture;
        send.slot = screen.slot;
        p.steps.push_back(send);
        if (screen.slot >= 0) {
            CScreenStep show;
            show.kind = CScreenStep::ShowPicture;
            show.slot = screen.slot;
            p.steps.push_back(show);
        }
    } else {
        CScreenStep colors;
        colors.kind = CScreenStep::SetColors;
        colors.fore = 0x00FFFFFFu;
        colors.back = screen.background;
        p.steps.push_back(colors);
        CScreenStep clear;
        clear.kind = CScreenStep::ClearScreen;
        p.steps.push_back(clear);
    }

    // Colours are compared as the terminal receives them (RGB 5-6-5).
    bool haveColors = !pictures;
    uint16_t lastFore = CMyTerminal::ToRgb565(0x00FFFFFFu);
    uint16_t lastBack = CMyTerminal::ToRgb565(screen.background);
    for (size_t i = 0; i < screen.items.size(); ++i) {
        const CScreenItem &it = screen.items[i];
        if (it.kind != CItemKind::Text)
            continue;
        const uint32_t back = screen.BackOf(it);
        const uint16_t fore565 = CMyTerminal::ToRgb565(it.color);
        const uint16_t back565 = CMyTerminal::ToRgb565(back);
        if (!haveColors || fore565 != lastFore || back565 != lastBack) {
            CScreenStep colors;
            colors.kind = CScreenStep::SetColors;
            colors.fore = it.color;
            colors.back = back;
            p.steps.push_back(colors);
            haveColors = true;
            lastFore = fore565;
            lastBack = back565;
        }
        CScreenStep text;
        text.kind = CScreenStep::ShowText;
        text.x = it.x;
        text.y = it.y;
        text.size = it.size;
        text.text = it.text;
        text.item = static_cast<int>(i);
        p.steps.push_back(text);
    }
    *plan = std::move(p);
    return true;
}

bool CheckScreenTerminal(const CMyTerminal &terminal, const CScreenPlan &plan, QString *error)
{
    const CDevInfo &info = terminal.Info();
    if (info.width != plan.width || info.height != plan.height || info.bitsPerPixel != plan.bpp) {
        if (error)
            *error = FormatStr(IDS_SCR_TERMINAL_MISMATCH, info.width, info.height, info.bitsPerPixel, plan.width,
                               plan.height, plan.bpp);
        return false;
    }
    if (plan.slot >= 0 && plan.slot > info.maxPictures - 1) {
        if (error)
            *error = FormatStr(IDS_SCR_SLOT_RANGE, qUtf8Printable(plan.screen), plan.slot, info.maxPictures - 1);
        return false;
    }
    return true;
}

bool RunScreenStep(CMyTerminal &terminal, const CScreenPlan &plan, const CScreenStep &step)
{
    switch (step.kind) {
    case CScreenStep::SendPicture: {
        std::vector<uint8_t> pixels;
        if (!ExtractPixels(plan.picture, plan.width, plan.height, PixelCodeOf(plan.bpp), &pixels))
            return false;
        return terminal.SendPictureData(pixels.data(), static_cast<int>(pixels.size()), step.slot);
    }
    case CScreenStep::ShowPicture:
        return terminal.CmdShowPicture(step.slot);
    case CScreenStep::SetColors:
        return terminal.CmdSetColors(step.fore, step.back);
    case CScreenStep::ClearScreen:
        return terminal.CmdClearScreen();
    case CScreenStep::ShowText:
        return terminal.CmdShowText(step.x, step.y, step.size.width, step.size.height, step.text);
    }
    return false;
}

bool SendScreenPlan(CMyTerminal &terminal, const CScreenPlan &plan, CStatusSink *status)
{
    if (!terminal.IsConnected())
        return false;
    QString why;
    if (!CheckScreenTerminal(terminal, plan, &why)) {
        Report(terminal, status, STATUS_FAILURE, why);
        return false;
    }
    bool ok = true;
    try {
        for (const CScreenStep &step : plan.steps)
            if (!(ok = RunScreenStep(terminal, plan, step)))
                break;
    } catch (const std::exception &) {
        ok = false;
    }
    Report(terminal, status, ok ? STATUS_SUCCESS : STATUS_FAILURE,
           FormatStr(ok ? IDS_SCR_SENT : IDS_SCR_SEND_FAILED, qUtf8Printable(PlanName(plan))));
    return ok;
}

std::vector<CScreenWire> ScreenPlanWire(const CScreenPlan &plan)
{
    CRecorder line;
    CMyTerminal terminal;
    terminal.SetTransport(&line);
    CDevInfo &info = terminal.Info();
    info.width = plan.width;
    info.height = plan.height;
    info.bitsPerPixel = plan.bpp;
    info.pixelFormat = PixelCodeOf(plan.bpp);
    info.maxPictures = 256;
    info.legacy = 0;
    for (const CScreenStep &step : plan.steps) {
        std::vector<uint8_t> acks;
        if (step.kind == CScreenStep::SendPicture)
            acks = {0xFC, static_cast<uint8_t>(step.slot >= 0 ? step.slot & 0xFF : 0xFE)};
        line.BeginStep(acks);
        RunScreenStep(terminal, plan, step);
    }
    terminal.SetTransport(nullptr);
    return line.Take();
}
