#pragma once
class QWidget;

// When KRV_STARTUP_NS holds the wall-clock time in nanoseconds at which the program was started
// (as `date +%s%N` gives it just before exec), the time from then to the end of the window's first
// paint goes to standard error as "first paint after N ms". scripts/measure_startup.sh uses it;
// without the variable nothing happens.
void ReportFirstPaint(QWidget* window);
