// The helper process and the pipe exchange with it.
#pragma once

// Tells the helper to end and forgets that it was started; the next reading query launches it
// again. Also run when the system-sensor start fails.
void ReleaseHelper();
