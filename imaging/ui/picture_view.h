// The picture preview: the picture selected in the file list, fitted to the
// terminal's resolution and pixel format with the keep-aspect and background
// settings, exactly as it will be sent; the sender of pictures, and the
// place where a picture transfer shows its progress row by row.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>

#include "imaging/dither.h"
#include "imaging/image_fit.h"
#include "link/progress_target.h"
#include "shell/cmd_target.h"
#include "shell/file_view.h"
#include "toolkit/view.h"

class CMyTerminal;

class CMyPictureView : public CMyView, public CCmdTarget, public CProgressTarget, public CFileView {
    Q_OBJECT
public:
    // Reads "PictureBkColor" and "PictureKeepAspectRatio" from the profile;
    // the destructor writes them back.
    explicit CMyPictureView(CMyTerminal &terminal, QWidget *parent = nullptr);
    ~CMyPictureView() override;

    // Shows path fitted to width x height (0 x 0: the picture's own size).
    // The same path at the same size is not read again. True when a picture
    // is shown.
    bool LoadPicture(const QString &path, int width, int height);
    // Renders the current file again with the current size, settings and
    // terminal pixel format, from the picture already decoded where the
    // decoder would give the same. A failure leaves the view empty.
    bool ReloadPicture();
    // Drops the picture and its decoded source; repaints when redraw is set.
    void ClosePicture(bool redraw);
    // Sends the shown picture (slot -1: display only) and reports the outcome.
    // False without a message when there is no picture or the port is closed.
    bool SendViewPicture(int slot);

    bool HasPicture() const { return !m_bitmap.isNull(); }
    const QString &Path() const { return m_path; }
    // The requested size (the picture's own size after a 0 x 0 load).
    int PictureWidth() const { return m_width; }
    int PictureHeight() const { return m_height; }
    // The size the picture was fitted for (0 x 0: its own size) and the
    // terminal pixel format it was rendered in.
    QSize FittedFor() const { return m_fittedFor; }
    int RenderedFormat() const { return m_format; }
    const QImage &Bitmap() const { return m_bitmap; }
    int SentBytes() const { return m_sentBytes; }

    bool KeepAspect() const { return m_keepAspect; }
    void SetKeepAspect(bool keep) { m_keepAspect = keep; }
    // 0x00BBGGRR; setting it redraws the picture toolbar's swatch.
    uint32_t BkColor() const { return m_bkColor; }
    void SetBkColor(uint32_t color);
    // Dithering of 16-bit pictures (profile value "PictureDither": 0 none,
    // 1 ordered, 2 diffusion); setting it does not render again.
    CDither Dither() const { return m_dither; }
    void SetDither(CDither dither);
    // Draws the colour swatch of the picture toolbar.
    void SetColorSwatchFn(std::function<void(uint32_t)> fn);

    // CCmdTarget: 32871, 32900-33200, 32872, 32873.
    bool OnCmdMsg(int id) override;
    bool OnUpdateCmdUI(CCmdUI &ui) override;

    // CProgressTarget
    void ShowSendProgress(int sent, int total) override;
    void EndSendProgress() override;

    // CFileView
    QString FilePath() const override { return m_path; }
    QSize ShownSize() const override { return QSize(m_width, m_height); }
    bool OpenFile(const QString &path, const QSize &size) override
    {
        return LoadPicture(path, size.width(), size.height());
    }
    void CloseFile(bool redraw) override { ClosePicture(redraw); }

protected:
    void OnDraw(QPainter &p) override;

private:
    void ChooseBkColor();
    void Report(int kind, const QString &text);

    CMyTerminal &m_terminal;
    int m_sentBytes = -1;
    bool m_keepAspect = true;
    uint32_t m_bkColor = 0xFFFFFFFFu;
    CDither m_dither = CDither::None;
    CDither m_ditherOn = CDither::Diffusion; // what the button turns on
    // The picture as decoded for the shown size; refits that the decoder
    // would answer the same way start from it instead of the file.
    CDecodedPicture m_decoded;
    QImage m_bitmap;
    QImage m_dimmed; // made on the first progress paint of a transfer
    int m_width = 1;
    int m_height = 1;
    QSize m_fittedFor;
    int m_format = 0;
    QString m_path;
    std::function<void(uint32_t)> m_swatch;
};
