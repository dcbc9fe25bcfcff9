// Class folders meet through frame/Classes.h only: tests/layering.sh must name this line.
#include "platform/WindowSystem.h"
#include "window/clsWrangler.h"
