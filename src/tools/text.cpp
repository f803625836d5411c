// PLACEHOLDER: to be built.
#include "shell/frmmain.h"

void frmmain::textMouseDown(float, float) {}
void frmmain::textMouseMove(float, float) {}
