#pragma once

// How often anything in this process has flushed a file to the disk (fsync, fdatasync),
// counted where every library makes the call: the C library's functions, which the
// program linking disk_flushes.cpp stands in for before passing the call on. Linux only.
long DiskFlushes();
