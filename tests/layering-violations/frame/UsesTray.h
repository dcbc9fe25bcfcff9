// frame/ below the class folders: tests/layering.sh must name this line.
#include "tray/modSharedMem.h"
