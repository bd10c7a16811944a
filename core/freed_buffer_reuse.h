// How a batch run keeps the memory it frees for its next allocation.
#pragma once

namespace varno {

// A run over a large table allocates and frees buffers the size of a column (several MB each,
// a few dozen per column) over and over. By default the C library hands each one back to the
// system when freed and maps it afresh, and the kernel zeroes every page again: about a tenth of
// the time of both cores on a summary of a million rows. This keeps freed buffers up to 32 MB
// in the process for the next one. For short batch runs (varno-report): a window that stays
// open would keep that memory for as long as it runs.
void keepFreedBuffersForReuse();

}  // namespace varno
