// The program's own artwork: SVG files in the resources, drawn into icons at
// the sizes the bars and menus ask for, when they first ask.
#pragma once

#include <QIcon>
#include <QString>

// Icon of ":/icons/<name>.svg"; a drawn placeholder when the file is missing.
QIcon LoadAppIcon(const QString &name);
// The application's window icon.
QIcon ApplicationIcon();
