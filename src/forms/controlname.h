#pragma once

#include <QString>

// Gives a control its design name, which tests and accessibility tools see.
template <typename Control> Control* named(Control* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}
