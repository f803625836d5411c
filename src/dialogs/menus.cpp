// PLACEHOLDER: to be built.
#include "shell/frmmain.h"

void frmmain::moption_Click() {}
void frmmain::mversion_Click() {}
