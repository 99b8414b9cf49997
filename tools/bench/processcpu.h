#pragma once
// Processor time of a running process, read the way both benchmarks need it.
#include <QtGlobal>

// Nanoseconds on a processor, summed over the process's threads alive now.
// Each thread's /proc schedstat counts to the nanosecond; the tick-based
// user and system times of /proc/PID/stat are 10 ms coarse, too coarse for a
// window of a minute at a few percent of a core.
qint64 ProcessCpuNanoseconds(qint64 pid);
