// Choosing and starting the GPU vendor interface at load.
#pragma once

// 0: a vendor interface is ready and the GPU entry table is filled (it may hold no GPU);
// -2: AMD path, the ADLX GPU list could not be obtained or is empty;
// -3: AMD path, ADL (atiadlxy.dll, on x64 atiadlxx.dll) could not be loaded or ADLX could not be
// initialised.
int InitGpuAccess();
