// torvexctl --version: the module version torvexctl was built with (TorvexModule.h) and the
// version resource of the TorvexModule.dll it would load.
#pragma once

#include "commands.h"

int RunVersion(const ModuleChoice& module);
