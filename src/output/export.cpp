// PLACEHOLDER: to be built.
#include "shell/frmmain.h"

void frmmain::savepicture() {}
void frmmain::btmsave_Click() {}
void frmmain::msave_Click() {}
