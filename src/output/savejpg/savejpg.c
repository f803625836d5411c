/* PLACEHOLDER: to be built. */
#include "savejpg.h"
int savejpg_placeholder(void);
int savejpg_placeholder(void)
{
    return 0;
}
