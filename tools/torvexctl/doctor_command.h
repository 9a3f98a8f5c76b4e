// torvexctl doctor: where the module looks for the vendor libraries and where it found them.
#pragma once

#include "commands.h"

struct DoctorOptions {
    bool json = false;
};

int RunDoctor(const ModuleChoice& module, const DoctorOptions& options);
