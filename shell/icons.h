// The program's own artwork: SVG files in the resources, rendered into
// icons at the sizes the bars and menus use.
#pragma once

#include <QIcon>
#include <QString>

// Icon of ":/icons/<name>.svg"; a drawn placeholder when the file is missing.
QIcon LoadAppIcon(const QString &name);
// The application's window icon.
QIcon ApplicationIcon();
