// Sanitizer defaults of the libFuzzer targets. ASan records no stack for each allocation
// and release: the unwinding and the stack store took a tenth of every run, and they only
// enrich a report, they find nothing. scripts/fuzz-campaign replays each finding with the
// full stacks (ASAN_OPTIONS in the environment overrides these).
extern "C" const char* __asan_default_options() { return "malloc_context_size=0"; }
