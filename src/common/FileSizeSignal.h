#pragma once

// A write past the file-size limit (ulimit -f) raises SIGXFSZ, which ends the process by default:
// the program would die at the first record row past the limit and lose the rest of the run.
// Ignored, the write fails with EFBIG like any other failed write, and the row alone is lost.
// Called first thing in every main().
void IgnoreFileSizeSignal();
