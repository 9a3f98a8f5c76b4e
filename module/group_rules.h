// The rules that join export groups. The subsystems know nothing of each other; where one group's
// answer depends on another's, the rule is here.
#pragma once

// The QLXSW device supplies power status where a board does not: once the device has answered a
// support check, every board's capability word also offers power status.
void NoteQLXSWPresent();
bool QLXSWPresent();

// A sensor start that fails tells the helper to end, after the SDK has been released. Runs under
// the sensor catalogue's lock and takes the helper's.
void ReleaseHelperAfterFailedSensorStart();
