// The progress and Escape test of long loops (bundle traces, solid images): called once per row
// or batch of rays.
#pragma once

// Polls Escape; shows done / total through the platform's progress hook, or -1 / total when the
// user asked to stop. Returns 1 when the loop must stop (abortRequest is then set), else 0.
int traceProgress(long done, long total);
