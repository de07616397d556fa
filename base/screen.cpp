// The screen's two colours, shared by every platform.
#include "base/platform.h"

int whtclr = 0;
int blkclr = 0;

void SetScreenColours() {
    whtclr = makecol(255, 255, 255);
    blkclr = makecol(0, 0, 0);
}
