// torvexctl's exit codes; --help lists them too.
#pragma once

enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 1,          // the command line could not be parsed
    kExitModuleMissing = 2,  // TorvexModule.dll or one of its exports could not be loaded
    kExitNoBoard = 3,        // the module has no board at all
    kExitRefused = 4,        // the module refused a requested action
    kExitNoSensors = 5,      // the module could not catalogue the system sensors
    kExitNoQlxsw = 6,        // the QLXSW device was not found
    kExitNoSuchBoard = 7,    // a GPU id matches no board (and no fallback was asked for)
};
