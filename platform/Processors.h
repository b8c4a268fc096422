// How many processors the program may keep busy.
#pragma once

// The processors online, at least 1; counted once per process. Every thread count of the
// program (quviro-cli's jobs, BLAKE3's tree threads of the reader, the window's hash) starts
// from this number.
unsigned ProcessorCount();
