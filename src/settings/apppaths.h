#pragma once

// Where the program keeps what lives outside the window: the settings file and
// the JPEG library. Tests point these at their own folders.

#include <QString>

struct AppPaths
{
    QString settingsFile;
    QString jpegLibrary;
};

// The settings file beside the program, or in the per-user configuration folder
// where the program's own folder cannot be written; the JPEG library beside the
// program or where it was built.
AppPaths defaultAppPaths();
