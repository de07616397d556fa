// Built into every platform: it takes the address of each service the seam
// declares, so a platform that lacks one (or defines it with another
// signature) fails to link instead of linking by luck.
#include "base/platform.h"

extern const void *const platformservices[];
const void *const platformservices[] = {
    (const void *)&PlatformStart,  (const void *)&PlatformStop, (const void *)&GetGameWindow,
    (const void *)&InitCommonControlsEx, (const void *)&ShowMessageBox, (const void *)&ShowAlert,
    (const void *)&PostQuitMessage, (const void *)&CloseRequested, (const void *)&DialogBoxParamA,
    (const void *)&FileDialog,     (const void *)&KeyDown,      (const void *)&LocalHour,
    (const void *)&WaitTick,       (const void *)&ShowBuffer,   (const void *)&HoldShown,   (const void *)&ClearScreen,
    (const void *)&ShowPassingNotice, (const void *)&SetCloseCheck, (const void *)&ReadGamepad,
};
