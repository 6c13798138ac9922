// A screen's command sequence as a batch file (.kbz) that the batch runner
// replays with the same frames: the composed picture is written beside it as
// a PNG at the terminal's size (its pixels already in the terminal's colours,
// so loading it again changes none), sent with SendPicture (plus SavePicture
// and ShowPicture for a slot); colours, clear screen and texts become
// SetColor, ClearScreen and ShowText.
#pragma once

#include "batch/batch_cmd.h"
#include "screen/screen_build.h"

#include <QString>

// The picture file that goes with a batch file: the same name, ".png".
QString ScreenBatchPicturePath(const QString &batchPath);

// The records for a plan whose picture is stored at picturePath (unused
// without pictures). False with a message when a text or the path does not
// fit the fields of a batch record.
bool ScreenBatchCommands(const CScreenPlan &plan, const QString &picturePath, BATCHCMD::CBatchCmdList *list,
                         QString *error);

// Writes the picture (when the screen has one) and then the batch file, each
// completely or not at all. *picturePath (when asked) gets the picture's
// path, empty without one.
bool ExportScreenBatch(const CScreenPlan &plan, const QString &batchPath, QString *picturePath, QString *error);
