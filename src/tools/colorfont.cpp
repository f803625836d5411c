// PLACEHOLDER: to be built.
#include "shell/frmmain.h"

void frmmain::btmcolor_Click() {}
void frmmain::btmfont_Click() {}
