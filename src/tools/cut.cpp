// PLACEHOLDER: to be built.
#include "shell/frmmain.h"

void frmmain::cutMouseDown(float, float) {}
void frmmain::cutMouseMove(float, float) {}
void frmmain::btmpaste_Click() {}
