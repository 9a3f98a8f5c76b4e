#include "helperchannel/helper_channel.h"

// The channel itself comes with the QLXSW exports; until then there is no helper to release.
void ReleaseHelper() {}
