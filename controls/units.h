#pragma once
// The controls' name for the one twips/pixel conversion, which lives in support/.

#include "support/units.h"
