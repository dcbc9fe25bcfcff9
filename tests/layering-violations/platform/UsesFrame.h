// A floor that includes a higher one: tests/layering.sh must name this line.
#include "frame/Errors.h"
