#include "opt_out/kept_entries.hpp"

#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/log.hpp"
#include "opt_out/kept_choices_file.hpp"
#include "opt_out/opt_out_state.hpp"

namespace Bellwright {
namespace {

using OptOut::TheState;

void LogKeptProblem(const std::string& problem) {
  if (!problem.empty()) {
    Log::Error("{}", problem);
  }
}

std::vector<Storage::StoredChoice> AsChoices(const KeptEntries& entries) {
  std::vector<Storage::StoredChoice> choices;
  choices.reserve(entries.size());
  for (const auto& [player_key, opted_out] : entries) {
    choices.push_back({player_key, opted_out});
  }
  return choices;
}

std::vector<std::string> AsKeys(const KeptEntries& entries) {
  std::vector<std::string> keys;
  keys.reserve(entries.size());
  for (const auto& [player_key, greeted] : entries) {
    keys.push_back(player_key);
  }
  return keys;
}

// Once what was taken from a kept file is written, it is taken out of the file, and the
// file is gone when no other server left anything in it. Not flushed to the disk: a
// power cut may bring an entry back, which the storage then gets once more.
void DropTakenWhenWritten(KeptFile file, KeptEntries& taken, bool all_written) {
  OptOut::State& state = TheState();
  if (taken.empty() || !all_written || state.kept_files_stuck) {
    return;
  }
  const KeptUpdate update = UpdateKept(file, taken, {}, LocalFile::Durability::kCached);
  LogKeptProblem(update.problem);
  if (update.failure.empty()) {
    taken.clear();
    return;
  }
  // Tried once more at the unload, which takes them out with everything else.
  state.kept_files_stuck = true;
  Log::Error("{} could not be brought up to date: {}; tried again at the unload",
             KeptFilePath(file), update.failure);
}

// Tells where what the storage had not taken waits for the next start, or why it
// could not be kept.
void ReportKept(std::size_t count, std::string_view what, std::string_view done_then, KeptFile file,
                const KeptUpdate& update) {
  LogKeptProblem(update.problem);
  const std::string path = KeptFilePath(file);
  if (!update.failure.empty()) {
    Log::Error("{} {} could not be kept in {}: {}", count, what, path, update.failure);
  } else if (count > 0) {
    Log::Warning("{} {} are kept in {} and {} at the next start", count, what, path, done_then);
  }
}

// Merged into the kept file and flushed to the disk: the unload may be the last thing
// this process does.
void Keep(KeptFile file, const KeptEntries& taken, const KeptEntries& unwritten,
          std::string_view what, std::string_view done_then) {
  if (taken.empty() && unwritten.empty()) {
    return;
  }
  ReportKept(unwritten.size(), what, done_then, file,
             UpdateKept(file, taken, unwritten, LocalFile::Durability::kOnDisk));
}

}  // namespace

void TakeKeptEntries() {
  OptOut::State& state = TheState();
  if (state.kept_taken) {
    return;
  }
  state.kept_taken = true;
  KeptRead choices = ReadKept(KeptFile::kChoices);
  LogKeptProblem(choices.problem);
  state.memory.AddUnwritten(AsChoices(choices.entries));
  for (const auto& [player_key, opted_out] : choices.entries) {
    state.meant_for_a_storage.insert(player_key);
  }
  state.taken_choices = std::move(choices.entries);
  KeptRead greetings = ReadKept(KeptFile::kGreetings);
  LogKeptProblem(greetings.problem);
  state.greeted.AddUnrecorded(AsKeys(greetings.entries));
  state.taken_greetings = std::move(greetings.entries);
}

void DropKeptEntriesWhenWritten() {
  OptOut::State& state = TheState();
  DropTakenWhenWritten(KeptFile::kChoices, state.taken_choices, !state.memory.HasUnwritten());
  DropTakenWhenWritten(KeptFile::kGreetings, state.taken_greetings, !state.greeted.HasUnrecorded());
}

// Under a storage type the plug-in does not know nothing was written, so nothing taken
// from the files is taken out of them, and its own choices last the session only.
void KeepWhatIsNotStored() {
  OptOut::State& state = TheState();
  const bool memory_only = state.settings && !state.settings->storage.storage;
  KeptEntries choices;
  for (const Storage::StoredChoice& choice : state.memory.Unwritten()) {
    if (!memory_only || state.meant_for_a_storage.contains(choice.player_key)) {
      choices.insert_or_assign(choice.player_key, choice.opted_out);
    }
  }
  Keep(KeptFile::kChoices, memory_only ? KeptEntries{} : state.taken_choices, choices,
       "timed-message opt-out choice(s) not yet written", "written");
  KeptEntries greetings;
  for (std::string& player_key : state.greeted.TakeBatch(std::numeric_limits<std::size_t>::max())) {
    greetings.insert_or_assign(std::move(player_key), true);
  }
  Keep(KeptFile::kGreetings, memory_only ? KeptEntries{} : state.taken_greetings, greetings,
       "greeting(s) not yet recorded", "recorded");
}

}  // namespace Bellwright
