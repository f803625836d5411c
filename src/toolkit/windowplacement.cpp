#include "toolkit/windowplacement.h"

#include <QGuiApplication>

namespace windowplacement {

bool platformPlacesWindows(const QString& platformName)
{
    // Every Wayland plugin's name starts so: wayland, wayland-egl, wayland-brcm.
    return !platformName.startsWith(QStringLiteral("wayland"));
}

bool platformPlacesWindows()
{
    return platformPlacesWindows(QGuiApplication::platformName());
}

} // namespace windowplacement
