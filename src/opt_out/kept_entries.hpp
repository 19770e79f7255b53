#pragma once

// Between the players' memory and the kept files beside the configuration: what an
// earlier start kept is taken in when the storage opens, taken out of the files once
// this server has written it, and what is still unwritten at the unload is merged into
// them. The game thread is the only caller.
namespace Bellwright {

void TakeKeptEntries();
void DropKeptEntriesWhenWritten();
// At the unload, flushed to the disk.
void KeepWhatIsNotStored();

}  // namespace Bellwright
