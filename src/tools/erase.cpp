// PLACEHOLDER: to be built.
#include "shell/frmmain.h"

void frmmain::eraseMouseDown(float, float) {}
void frmmain::eraseMouseMove(float, float) {}
