#pragma once

// The storage between two calls of the game's one-second timer. An answer the database
// has sent waits in the socket until the storage is next driven, so while it has work
// under way it is driven at every game frame too, by a host task without delay that asks
// for the next frame again each time. Once nothing is under way no frame is asked for:
// an idle server pays nothing per frame.
namespace Bellwright {

// The storage is driven again at the next frame (once, however often this is asked).
void DriveStorageAtNextFrame();
// A frame asked for before this drives nothing: the host may still hold its task.
void StopStorageFrames();

}  // namespace Bellwright
