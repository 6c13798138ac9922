// The program's profile: QSettings("KDW", <application title>) with the
// sections "Settings" and "Recent Batch Files".
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The application title (first field of string 100).
QString AppTitle();

// The profile store. Tests redirect it with QSettings::setPath or
// QStandardPaths::setTestModeEnabled.
std::unique_ptr<QSettings> OpenProfile();
