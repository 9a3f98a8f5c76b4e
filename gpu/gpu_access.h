// Choosing and starting the GPU vendor interface at load.
#pragma once

// 0: a vendor interface is ready and the GPU entry table is filled (it may hold no GPU);
// -2: AMD path, the ADLX GPU list could not be obtained or is empty;
// -3: AMD path, "atiadlxy.dll" could not be loaded or ADLX could not be initialised.
int InitGpuAccess();
