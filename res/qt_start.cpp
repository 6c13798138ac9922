#include "res/qt_start.h"

#include <QString>
#include <QtGlobal>

namespace
{

QtMessageHandler g_previousHandler = nullptr;

void DropRuntimeDirWarning(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, text);
}

} // namespace

void QuietQtRuntimeDirWarning()
{
    // By its text: Qt raises it both with and without a logging category.
    if (!g_previousHandler)
        g_previousHandler = qInstallMessageHandler(DropRuntimeDirWarning);
}
