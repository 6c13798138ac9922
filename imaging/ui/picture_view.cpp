#include "imaging/ui/picture_view.h"

#include <QApplication>
#include <QColorDialog>
#include <QMessageBox>
#include <QPainter>
#include <exception>

#include "imaging/image_fit.h"
#include "imaging/picture_send.h"
#include "imaging/pixel_format.h"
#include "imaging/preview_layout.h"
#include "imaging/ui/wait_cursor.h"
#include "link/terminal.h"
#include "res/commands.h"
#include "res/profile.h"
#include "res/strings.h"

namespace {

const char kBkColorKey[] = "Settings/PictureBkColor";
const char kKeepAspectKey[] = "Settings/PictureKeepAspectRatio";
const char kDitherKey[] = "Settings/PictureDither";

uint32_t ColorRefOf(const QColor &c)
{
    return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
           (static_cast<uint32_t>(c.blue()) << 16);
}

QColor ColorOfRef(uint32_t ref)
{
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

} // namespace

CMyPictureView::CMyPictureView(CMyTerminal &terminal, QWidget *parent) : CMyView(parent), m_terminal(terminal)
{
    setObjectName(QStringLiteral("pictureView"));
    SetScrollSizes(QSize(0, 0));
    // The window colour unless the profile holds another.
    m_bkColor = ColorRefOf(palette().color(QPalette::Base));
    auto profile = OpenProfile();
    m_keepAspect = profile->value(QLatin1String(kKeepAspectKey), 1).toInt() != 0;
    SetDither(DitherFromInt(profile->value(QLatin1String(kDitherKey), 0).toInt()));
    bool ok = false;
    const qlonglong stored = profile->value(QLatin1String(kBkColorKey)).toLongLong(&ok);
    if (ok && static_cast<uint32_t>(stored) != m_bkColor)
        m_bkColor = static_cast<uint32_t>(stored);
}

CMyPictureView::~CMyPictureView()
{
    auto profile = OpenProfile();
    profile->setValue(QLatin1String(kBkColorKey), static_cast<qlonglong>(m_bkColor));
    profile->setValue(QLatin1String(kKeepAspectKey), m_keepAspect ? 1 : 0);
    profile->setValue(QLatin1String(kDitherKey), static_cast<int>(m_dither));
}

void CMyPictureView::SetColorSwatchFn(std::function<void(uint32_t)> fn)
{
    m_swatch = std::move(fn);
    if (m_swatch)
        m_swatch(m_bkColor);
}

void CMyPictureView::SetDither(CDither dither)
{
    m_dither = dither;
    if (dither != CDither::None)
        m_ditherOn = dither;
}

void CMyPictureView::SetBkColor(uint32_t color)
{
    m_bkColor = color;
    if (m_swatch)
        m_swatch(color);
}

void CMyPictureView::Report(int kind, const QString &text)
{
    if (CStatusSink *sink = m_terminal.StatusSink())
        sink->ShowStatusMessage(kind, text);
}

bool CMyPictureView::LoadPicture(const QString &path, int width, int height)
{
    if (path.isEmpty() || width < 0 || height < 0)
        return false;
    if (path == m_path && width == m_width && height == m_height)
        return true;
    m_path = path;
    m_width = width;
    m_height = height;
    if (ReloadPicture()) {
        SetScrollSizes(QSize(m_width, m_height));
        ScrollToPosition(QPoint(0, 0));
    } else {
        SetScrollSizes(QSize(0, 0));
    }
    return HasPicture();
}

bool CMyPictureView::ReloadPicture()
{
    const QString path = m_path;
    const int width = m_width;
    const int height = m_height;
    // The decoded picture outlives the shown one: a refit may take it again.
    CDecodedPicture decoded = std::move(m_decoded);
    ClosePicture(false);
    m_decoded = std::move(decoded);
    if (path.isEmpty()) {
        // Nothing to render again (a setting changed with no picture shown).
        viewport()->repaint();
        return false;
    }
    QImage bitmap;
    QString failure = path;
    try {
        // Decoded again only when the decoder would be asked for something
        // else (another file, a changed file, another scaled size).
        if (!m_decoded.Serves(path, width, height, m_keepAspect)) {
            m_decoded = CDecodedPicture();
            DecodePicture(path, width, height, m_keepAspect, &m_decoded, nullptr, true);
        }
        bitmap = FitDecoded(m_decoded, width, height, m_terminal.Info().pixelFormat, m_bkColor, m_keepAspect,
                            m_dither);
    } catch (const std::exception &e) {
        m_decoded = CDecodedPicture();
        bitmap = QImage();
        failure = QString::fromLocal8Bit(e.what());
    }
    if (!bitmap.isNull()) {
        m_bitmap = bitmap;
        m_fittedFor = QSize(width, height);
        m_format = m_terminal.Info().pixelFormat;
        m_width = width == 0 && height == 0 ? bitmap.width() : width;
        m_height = width == 0 && height == 0 ? bitmap.height() : height;
        m_path = path;
    } else {
        Report(STATUS_FAILURE, FormatStr(IDS_IMG_OPEN_PICTURE_ERROR, qUtf8Printable(failure)));
    }
    viewport()->repaint();
    return HasPicture();
}

void CMyPictureView::ClosePicture(bool redraw)
{
    m_decoded = CDecodedPicture();
    m_bitmap = QImage();
    m_dimmed = QImage();
    m_path.clear();
    m_sentBytes = -1;
    m_width = 0;
    m_height = 0;
    if (redraw)
        viewport()->repaint();
}

bool CMyPictureView::SendViewPicture(int slot)
{
    if (!HasPicture() || !m_terminal.IsConnected())
        return false;
    return SendPicture(m_terminal, m_bitmap, m_path, slot);
}

// ---------------------------------------------------------------- commands

bool CMyPictureView::OnCmdMsg(int id)
{
    if (id == ID_PIC_SEND || (id >= ID_PIC_SEND_SLOT_FIRST && id <= ID_PIC_SEND_SLOT_LAST)) {
        const int slot = id == ID_PIC_SEND ? -1 : id - ID_PIC_SEND_SLOT_FIRST;
        try {
            CWaitCursor wait;
            SendViewPicture(slot);
        } catch (const std::exception &e) {
            QMessageBox::warning(this, QString(), QString::fromLocal8Bit(e.what()));
        }
        return true;
    }
    if (id == ID_PIC_KEEP_ASPECT) {
        m_keepAspect = !m_keepAspect;
        ReloadPicture();
        return true;
    }
    if (id == ID_PIC_BKCOLOR) {
        ChooseBkColor();
        return true;
    }
    if (id == ID_PIC_DITHER || (id >= ID_PIC_DITHER_NONE && id <= ID_PIC_DITHER_DIFFUSION)) {
        if (id == ID_PIC_DITHER)
            SetDither(m_dither == CDither::None ? m_ditherOn : CDither::None);
        else
            SetDither(DitherFromInt(id - ID_PIC_DITHER_NONE));
        ReloadPicture();
        return true;
    }
    return false;
}

bool CMyPictureView::OnUpdateCmdUI(CCmdUI &ui)
{
    const int id = ui.GetId();
    if (id == ID_PIC_SEND || (id >= ID_PIC_SEND_SLOT_FIRST && id <= ID_PIC_SEND_SLOT_LAST)) {
        ui.Enable(m_terminal.IsConnected() && HasPicture());
        return true;
    }
    if (id == ID_PIC_KEEP_ASPECT) {
        ui.Enable(true);
        ui.SetCheck(m_keepAspect);
        return true;
    }
    if (id == ID_PIC_BKCOLOR) {
        ui.Enable(true);
        return true;
    }
    if (id == ID_PIC_DITHER || (id >= ID_PIC_DITHER_NONE && id <= ID_PIC_DITHER_DIFFUSION)) {
        // Only 16-bit pictures are dithered.
        ui.Enable(m_terminal.Info().pixelFormat == PIXEL_CODE_RGB565);
        ui.SetCheck(id == ID_PIC_DITHER ? m_dither != CDither::None
                                        : static_cast<int>(m_dither) == id - ID_PIC_DITHER_NONE);
        return true;
    }
    return false;
}

void CMyPictureView::ChooseBkColor()
{
    QColorDialog dlg(ColorOfRef(m_bkColor), this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const uint32_t chosen = ColorRefOf(dlg.selectedColor());
    if (chosen == m_bkColor)
        return;
    SetBkColor(chosen);
    ReloadPicture();
}

// ---------------------------------------------------------------- progress

void CMyPictureView::ShowSendProgress(int sent, int total)
{
    m_sentBytes = sent > 0 && sent <= total ? sent : -1;
    viewport()->repaint();
}

void CMyPictureView::EndSendProgress()
{
    m_sentBytes = -1;
    m_dimmed = QImage();
    viewport()->repaint();
}

// ---------------------------------------------------------------- drawing

void CMyPictureView::OnDraw(QPainter &p)
{
    if (m_bitmap.isNull())
        return;
    const QSize client = viewport()->size();
    const QPoint at = PictureOrigin(client.width(), client.height(), m_width, m_height);
    if (m_sentBytes <= 0) {
        p.drawImage(QRect(at, QSize(m_width, m_height)), m_bitmap);
        return;
    }
    // A transfer is running: everything dimmed, then the rows already sent
    // at full brightness, one source pixel per screen pixel.
    if (m_dimmed.isNull())
        m_dimmed = DimmedImage(m_bitmap);
    p.drawImage(QRect(at, QSize(m_width, m_height)), m_dimmed);
    const int rows = SentPictureRows(m_sentBytes, m_width, m_height, PixelCodeOfImage(m_bitmap));
    if (rows > 0)
        p.drawImage(at, m_bitmap, QRect(0, 0, m_bitmap.width(), rows));
}
