// AddressSanitizer's defaults for the fuzz targets, built in like the leak
// suppressions. Every check stays on; what goes is work that finds nothing
// here and costs most of a run's time: filling each new block with a
// pattern (the pattern catches no read of memory never written; only
// MemorySanitizer does) and keeping 256 MB of freed blocks out of use,
// which turns every allocation into fresh pages. 32 MB still holds what
// hundreds of inputs free, so a use after free within a run is caught.
// Each block remembers the 8 innermost calls that made and freed it, not
// 30: they name the function that did, and recording them is a fifth of a
// run that allocates much. A finding replayed with
// ASAN_OPTIONS=malloc_context_size=30 shows the whole of them.
extern "C" const char* __asan_default_options()
{
    return "max_malloc_fill_size=0:quarantine_size_mb=32:malloc_context_size=8";
}
