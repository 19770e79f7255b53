#pragma once

#include <fmt/format.h>

#include <string>
#include <utility>
#include <vector>

#include "base/command_outcome.hpp"

namespace Bellwright {

// The previews of the several messages one item has (a list's entries, a schedule's
// steps), gathered into one reply. Sent to a viewer, one line counts what was shown
// and only what could not be shown keeps its own line: the viewer has the messages
// themselves before them. Described in words, every line is kept.
class PreviewTally {
 public:
  PreviewTally(std::string name, bool to_viewer) : name_(std::move(name)), to_viewer_(to_viewer) {}

  void Add(CommandOutcome one) {
    all_succeeded_ = all_succeeded_ && one.succeeded;
    if (to_viewer_ && one.succeeded) {
      ++shown_;
      return;
    }
    lines_.insert(lines_.end(), std::make_move_iterator(one.lines.begin()),
                  std::make_move_iterator(one.lines.end()));
  }

  [[nodiscard]] CommandOutcome Result() && {
    if (to_viewer_) {
      lines_.insert(lines_.begin(), fmt::format("Preview of {} sent to you ({} {})", name_, shown_,
                                                shown_ == 1 ? "message" : "messages"));
    }
    return {all_succeeded_, std::move(lines_)};
  }

 private:
  std::string name_;
  bool to_viewer_;
  bool all_succeeded_ = true;
  int shown_ = 0;
  std::vector<std::string> lines_;
};

// The outcomes of several items as one reply: every line, in order; failed when any failed.
inline void AppendOutcome(CommandOutcome& all, CommandOutcome one) {
  all.succeeded = all.succeeded && one.succeeded;
  all.lines.insert(all.lines.end(), std::make_move_iterator(one.lines.begin()),
                   std::make_move_iterator(one.lines.end()));
}

}  // namespace Bellwright
