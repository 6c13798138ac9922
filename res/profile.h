// The program's profile: QSettings("KDW", <application title>) with the
// sections "Settings" and "Recent Batch Files".
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The application title (first field of string 100), in the interface
// language: window and message box titles.
QString AppTitle();

// The title in Chinese, whatever the interface language: the profile's and
// the application's name, which the language must not move.
QString ProfileTitle();

// The profile store. Tests redirect it with QSettings::setPath or
// QStandardPaths::setTestModeEnabled.
std::unique_ptr<QSettings> OpenProfile();
