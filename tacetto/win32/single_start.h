// One tool per configured line: the lock held for the run, and the answer to a second start.
#pragma once

// Takes the lock of the configured line (the mixer device of line 1 and the line that line 2
// selects; on the endpoint path the device alone, whose endpoint both lines switch), held until
// the process ends, with the process id published beside it. False when another copy holds it,
// also one that this start may not open: that copy's volume window, or while it has none the box
// it shows, has then been brought to the front.
bool TakeConfiguredLine();
