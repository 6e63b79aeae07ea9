// Placeholder until the engine lands: every call fails.
#include "ese/jet.h"
