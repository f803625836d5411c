// PLACEHOLDER: to be built.
#include "shell/frmmain.h"

void frmmain::savesetting() {}
void frmmain::loadsetting() {}
