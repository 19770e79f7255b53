#include "opt_out/kept_choices_file.hpp"

#include <fmt/format.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>

#include "base/platform_text.hpp"
#include "config/config.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

// No kept file nests at all; a deeper one is not understood without going further.
constexpr std::size_t kDeepestSkipped = 64;

// Takes the entries of a kept file as the parser meets them, keeping nothing but them:
// members of another type are skipped, and a top level of another shape ends the reading.
class EntriesReader final : public nlohmann::json_sax<json> {
 public:
  explicit EntriesReader(KeptFile file) : file_(file) {}

  bool null() override { return Skipped(); }
  bool boolean(bool value) override {
    if (file_ == KeptFile::kChoices && depth_ == 1 && key_) {
      entries_.insert_or_assign(*key_, value);
    }
    return Skipped();
  }
  bool number_integer(number_integer_t /*value*/) override { return Skipped(); }
  bool number_unsigned(number_unsigned_t /*value*/) override { return Skipped(); }
  bool number_float(number_float_t /*value*/, const string_t& /*text*/) override {
    return Skipped();
  }
  bool string(string_t& value) override {
    if (file_ == KeptFile::kGreetings && depth_ == 1) {
      entries_.insert_or_assign(std::move(value), true);
    }
    return Skipped();
  }
  bool binary(binary_t& /*value*/) override { return Skipped(); }
  bool start_object(std::size_t /*elements*/) override {
    return Enter(file_ == KeptFile::kChoices);
  }
  bool key(string_t& value) override {
    if (depth_ == 1) {
      key_ = std::move(value);
    }
    return true;
  }
  bool end_object() override { return Leave(); }
  bool start_array(std::size_t /*elements*/) override {
    return Enter(file_ == KeptFile::kGreetings);
  }
  bool end_array() override { return Leave(); }
  bool parse_error(std::size_t /*position*/, const std::string& /*last_token*/,
                   const nlohmann::detail::exception& error) override {
    why_ = error.what();
    return false;
  }

  KeptEntries TakeEntries() { return std::move(entries_); }
  const std::string& Why() const { return why_; }

 private:
  // A value at the top level that is not a container is not the file's shape.
  bool Skipped() {
    if (depth_ == 0) {
      why_ = ShapeText();
      return false;
    }
    key_.reset();
    return true;
  }
  bool Enter(bool the_files_shape) {
    if (depth_ == 0 && !the_files_shape) {
      why_ = ShapeText();
      return false;
    }
    if (++depth_ > kDeepestSkipped) {
      why_ = fmt::format("it nests deeper than {} levels", kDeepestSkipped);
      return false;
    }
    key_.reset();
    return true;
  }
  bool Leave() {
    --depth_;
    return true;
  }
  std::string ShapeText() const {
    return file_ == KeptFile::kChoices ? "it is not a JSON object of players' choices"
                                       : "it is not a JSON array of players' keys";
  }

  KeptFile file_;
  std::size_t depth_ = 0;
  std::optional<std::string> key_;
  KeptEntries entries_;
  std::string why_;
};

std::filesystem::path PathOf(KeptFile file) {
  return PluginFolderPath() / (file == KeptFile::kChoices ? "bellwright_unwritten_opt_outs.json"
                                                          : "bellwright_unrecorded_greetings.json");
}

// The entries, or why the text is not understood.
std::optional<KeptEntries> Parse(KeptFile file, const std::string& text, std::string& why) {
  EntriesReader reader(file);
  if (!json::sax_parse(text, &reader)) {
    why = reader.Why().empty() ? "it is not JSON" : reader.Why();
    return std::nullopt;
  }
  return reader.TakeEntries();
}

std::string Dump(KeptFile file, const KeptEntries& entries) {
  json document = file == KeptFile::kChoices ? json::object() : json::array();
  for (const auto& [key, value] : entries) {
    if (file == KeptFile::kChoices) {
      document[key] = value;
    } else {
      document.push_back(key);
    }
  }
  return document.dump(1, '\t', false, json::error_handler_t::replace) + '\n';
}

// What is at the file's place, read once: its bytes (to tell whether another server
// wrote it meanwhile) and its entries.
struct Found {
  bool present = false;
  std::string bytes;
  KeptEntries entries;
  std::string problem;
};

Found Look(KeptFile file) {
  const std::filesystem::path path = PathOf(file);
  LocalFile::FileRead read = LocalFile::ReadRegularFile(path, kMaxKeptFileBytes);
  Found found;
  if (read.outcome == LocalFile::FileRead::Outcome::kMissing) {
    return found;
  }
  found.present = true;
  std::string why = std::move(read.failure);
  if (read.outcome == LocalFile::FileRead::Outcome::kRead) {
    if (auto entries = Parse(file, read.text, why)) {
      found.bytes = std::move(read.text);
      found.entries = std::move(*entries);
      return found;
    }
  }
  // Never deleted, never taken in part: the administrator decides what it was.
  std::string failure;
  const std::filesystem::path aside = LocalFile::MoveAside(path, failure);
  found.present = !failure.empty();
  found.problem =
      failure.empty()
          ? fmt::format("{} cannot be used ({}): moved aside to {}; its entries were not taken",
                        Platform::Utf8FromPath(path), why, Platform::Utf8FromPath(aside))
          : fmt::format("{} cannot be used ({}), nor moved aside ({})",
                        Platform::Utf8FromPath(path), why, failure);
  return found;
}

bool StillAsFound(KeptFile file, const Found& found) {
  const LocalFile::FileRead now = LocalFile::ReadRegularFile(PathOf(file), kMaxKeptFileBytes);
  if (now.outcome == LocalFile::FileRead::Outcome::kMissing) {
    return !found.present;
  }
  return found.present && now.outcome == LocalFile::FileRead::Outcome::kRead &&
         now.text == found.bytes;
}

// What another server left stays; what this one wrote goes, unless it has changed since.
KeptEntries Merged(KeptEntries entries, const KeptEntries& written, const KeptEntries& add) {
  for (const auto& [key, value] : written) {
    if (const auto entry = entries.find(key); entry != entries.end() && entry->second == value) {
      entries.erase(entry);
    }
  }
  for (const auto& [key, value] : add) {
    entries.insert_or_assign(key, value);
  }
  return entries;
}

}  // namespace

std::string KeptFilePath(KeptFile file) {
  return Platform::Utf8FromPath(PathOf(file));
}

KeptRead ReadKept(KeptFile file) {
  Found found = Look(file);
  return {std::move(found.entries), std::move(found.problem)};
}

KeptUpdate UpdateKept(KeptFile file, const KeptEntries& written, const KeptEntries& add,
                      LocalFile::Durability durability) {
  // Two servers sharing the folder may write at once; a few rounds settle it.
  constexpr int kRounds = 4;
  KeptUpdate update;
  for (int round = 0; round < kRounds; ++round) {
    Found found = Look(file);
    if (!found.problem.empty()) {
      update.problem = std::move(found.problem);
    }
    if (found.present && found.bytes.empty()) {
      update.failure = "a file that cannot be used is in the way";
      return update;
    }
    const KeptEntries merged = Merged(found.entries, written, add);
    if (merged == found.entries) {
      return update;  // nothing to change
    }
    if (merged.empty()) {
      if (!StillAsFound(file, found)) {
        continue;
      }
      update.failure = LocalFile::RemoveFile(PathOf(file));
      return update;
    }
    const LocalFile::Replacement replaced =
        LocalFile::ReplaceContents(PathOf(file), Dump(file, merged), durability,
                               [&file, &found] { return StillAsFound(file, found); });
    if (replaced.outcome != LocalFile::Replacement::Outcome::kChangedMeanwhile) {
      update.failure = replaced.failure;
      return update;
    }
  }
  update.failure = "other servers kept writing it";
  return update;
}

}  // namespace Bellwright
