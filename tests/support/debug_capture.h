// The tests read the module's debugger-output lines through the capture that torvexctl uses too.
#pragma once

#include "module_diagnostics.h"
