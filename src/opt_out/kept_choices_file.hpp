#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>

#include "base/local_file.hpp"

namespace Bellwright {

// What the storage had not taken when a server unloaded waits in a small file beside the
// configuration until a later start writes it: the players' choices
// (bellwright_unwritten_opt_outs.json, {"key": true, …}) and the players greeted
// (bellwright_unrecorded_greetings.json, ["key", …]). Servers that share the folder share
// the files: each adds its entries and takes out only those it has written itself.
enum class KeptFile { kChoices, kGreetings };

// A player's key and, for choices, whether they opted out (a greeting is always true).
using KeptEntries = std::map<std::string, bool, std::less<>>;

// Far beyond what an outage leaves (some 20,000 choices), and read in a few milliseconds.
inline constexpr std::size_t kMaxKeptFileBytes = std::size_t{1024} * 1024;

std::string KeptFilePath(KeptFile file);

struct KeptRead {
  KeptEntries entries;
  // A file that could not be read or understood: what was wrong, where it went for the
  // administrator, or why it could not be moved. Empty when all is well.
  std::string problem;
};

// What `file` holds. A file that cannot be read (a directory, a named pipe, a device,
// one over kMaxKeptFileBytes) or understood (not JSON, or not the file's shape) is moved
// aside, never deleted, and counts as empty.
KeptRead ReadKept(KeptFile file);

struct KeptUpdate {
  // What went wrong: the entries to add are not kept. Empty on success.
  std::string failure;
  // As for ReadKept, about the file found in the way.
  std::string problem;
};

// Takes out the entries of `written` that still hold the value given there (this server
// wrote them to its storage), puts in `add` over what is there, and leaves every other
// entry as another server wrote it. No entry left: the file is removed. A file written by
// another server meanwhile is read again and merged anew.
KeptUpdate UpdateKept(KeptFile file, const KeptEntries& written, const KeptEntries& add,
                      LocalFile::Durability durability);

}  // namespace Bellwright
