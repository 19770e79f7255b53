#pragma once

namespace Sandbox {

// The stand-in for the operating system's loader lock, which the real host holds while
// it runs a library's process attach and detach. Every thread of the process passes
// through it when it starts and when it ends (this library interposes the process's
// thread creation), so a thread started or ended while a library is opened or closed
// waits until that is over, as on the real host. On Windows the loader's own lock does
// this (LoadLibraryW and FreeLibrary hold it), and these do nothing.
void HoldLoaderLock();
void ReleaseLoaderLock();

}  // namespace Sandbox
