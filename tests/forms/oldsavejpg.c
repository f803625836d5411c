/* A JPEG library as older builds of SaveJPG were: DCSavetoJPEG alone, with no
 * DCSaveLastError beside it. This one fails every save, so that the program's
 * message for a library that cannot say why can be seen. */

#include "savejpg.h"

SAVEJPG_API int16_t SAVEJPG_CALL DCSavetoJPEG(const SnipDC* dc, int32_t width, int32_t height,
                                              const char* path, uint32_t quality,
                                              int32_t progressive)
{
    (void)dc;
    (void)width;
    (void)height;
    (void)path;
    (void)quality;
    (void)progressive;
    return 0;
}
