#pragma once

// While TZ is unset, the C library checks the system's zone file at every local-time conversion,
// a file-system call each time; the trend charts' time axes make a dozen conversions a second, and
// those checks were a quarter of the charts' update. Naming the same file in TZ has the library read
// it once. The program then keeps the zone it started in, as its day files do; a TZ the user set,
// or a system without the file, is left alone. Returns whether TZ was set.
bool PinLocalTimeZone(const char* zoneFile = "/etc/localtime");
