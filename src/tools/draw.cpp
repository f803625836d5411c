// PLACEHOLDER: to be built.
#include "shell/frmmain.h"

void frmmain::drawMouseDown(float, float) {}
void frmmain::drawMouseMove(float, float) {}
