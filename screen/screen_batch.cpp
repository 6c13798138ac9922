#include "screen/screen_batch.h"

#include "batch/batch_file.h"
#include "res/ids_screen.h"
#include "res/output_file.h"
#include "res/strings.h"

#include <QDir>
#include <QFileInfo>
#include <QBuffer>

using namespace BATCHCMD;

namespace
{

bool WriteAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QString reason;
    if (WriteOutputFile(path, bytes, 0, &reason) != COutputResult::Written) {
        if (error)
            *error = FormatStr(IDS_SCR_WRITE_FAILED, qUtf8Printable(path), qUtf8Printable(reason));
        return false;
    }
    return true;
}

} // namespace

QString ScreenBatchPicturePath(const QString &batchPath)
{
    const QFileInfo info(batchPath);
    return info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral(".png"));
}

bool ScreenBatchCommands(const CScreenPlan &plan, const QString &picturePath, CBatchCmdList *list, QString *error)
{
    list->clear();
    for (const CScreenStep &step : plan.steps) {
        CBatchCmdData cmd = ZeroCmd();
        switch (step.kind) {
        case CScreenStep::SendPicture:
            if (picturePath.size() >= PATH_UNITS) {
                if (error)
                    *error = FormatStr(IDS_SCR_EXPORT_PATH_LONG, qUtf8Printable(picturePath), PATH_UNITS - 1);
                return false;
            }
            cmd = NewCmd(SendPicture);
            cmd.picture.bKeepAspectRatio = 1;
            cmd.picture.crBkColor = 0;
            SetField(cmd.picture.szPath, picturePath);
            list->push_back(cmd);
            // Stored by the same transfer: the runner merges a SavePicture
            // that follows a SendPicture into one send-and-store.
            if (step.slot >= 0) {
                cmd = NewCmd(SavePicture);
                cmd.picture.nID = step.slot;
                list->push_back(cmd);
            }
            continue;
        case CScreenStep::ShowPicture:
            cmd = NewCmd(ShowPicture);
            cmd.picture.nID = step.slot;
            break;
        case CScreenStep::SetColors:
            cmd = NewCmd(SetColor);
            cmd.color.crFore = step.fore;
            cmd.color.crBack = step.back;
            break;
        case CScreenStep::ClearScreen:
            cmd = NewCmd(ClearScreen);
            break;
        case CScreenStep::ShowText:
            if (step.text.size() >= TEXT_UNITS) {
                if (error)
                    *error = FormatStr(IDS_SCR_EXPORT_TEXT_LONG, qUtf8Printable(step.text), TEXT_UNITS - 1);
                return false;
            }
            cmd = NewCmd(ShowText);
            cmd.text.nX = step.x;
            cmd.text.nY = step.y;
            cmd.text.nFontWidth = step.size.width;
            cmd.text.nFontHeight = step.size.height;
            SetField(cmd.text.szText, step.text);
            break;
        }
        list->push_back(cmd);
    }
    return true;
}

bool ExportScreenBatch(const CScreenPlan &plan, const QString &batchPath, QString *picturePath, QString *error)
{
    const QString batch = QFileInfo(batchPath).absoluteFilePath();
    const QString picture = plan.picture.isNull() ? QString() : ScreenBatchPicturePath(batch);
    CBatchCmdList list;
    if (!ScreenBatchCommands(plan, picture, &list, error))
        return false;
    if (!picture.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!plan.picture.save(&buffer, "PNG") || !WriteAtomically(picture, png, error)) {
            if (error && error->isEmpty())
                *error = FormatStr(IDS_SCR_WRITE_FAILED, qUtf8Printable(picture), "PNG");
            return false;
        }
    }
    const int32_t res =
        static_cast<int32_t>((static_cast<uint32_t>(plan.height & 0xFFFF) << 16) | (plan.width & 0xFFFF));
    if (!WriteAtomically(batch, CBatchFile::Serialize(list, res), error))
        return false;
    if (picturePath)
        *picturePath = picture;
    return true;
}
