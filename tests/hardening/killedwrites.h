#pragma once

// What the writer child writes in turn and what its killer checks: two sets of
// the six settings values and two pictures, each set different in every value.

#include "jpegcheck.h"
#include "settings/settingsfile.h"

namespace killedwrites {

inline Settings settings(int which)
{
    if (which == 0)
        return {QStringLiteral("35"),      0,    QStringLiteral("/pictures/ä, \"b\".jpg"),
                QStringLiteral("/出力/a"), 1500, 1200};
    return {QStringLiteral("90"),     1,    QStringLiteral("/pictures/b,comma.bmp"),
            QStringLiteral("/out/b"), 3000, 4500};
}

// Large enough that a write takes a while, different in shape so a file says which it is.
inline QImage picture(int which)
{
    return which == 0 ? smoothImage(480, 360) : smoothImage(360, 480);
}

inline int quality(int which)
{
    return which == 0 ? 80 : 95;
}

inline bool progressive(int which)
{
    return which == 1;
}

} // namespace killedwrites
