#include "config_checks/command_chain_checks.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "base/command_limits.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {
namespace {

constexpr auto kLongestChain = static_cast<std::size_t>(kLongestCommandChain);

std::string_view FirstWord(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    return {};
  }
  const std::size_t end = text.find(' ', start);
  return text.substr(start, end == std::string_view::npos ? end : end - start);
}

// "a" -> "b" -> "a"; a long chain keeps its ends, so the line stays readable.
std::string ChainText(const std::vector<std::string>& steps) {
  constexpr std::size_t kShownAtEachEnd = 3;
  if (steps.size() <= 2 * kShownAtEachEnd + 1) {
    return fmt::format("{}", fmt::join(steps, " -> "));
  }
  return fmt::format("{} -> ... ({} more) -> {}",
                     fmt::join(steps.begin(), steps.begin() + kShownAtEachEnd, " -> "),
                     steps.size() - 2 * kShownAtEachEnd,
                     fmt::join(steps.end() - kShownAtEachEnd, steps.end(), " -> "));
}

const std::string& ChainTextPointer(const Registrations& registrations, std::size_t command) {
  return registrations.commands[command].fields->chain_pointer;
}

void ReportLoop(const Registrations& registrations, const std::vector<std::size_t>& loop,
                Findings& findings) {
  std::vector<std::string> steps;
  steps.reserve(loop.size() + 1);
  for (const std::size_t step : loop) {
    steps.push_back(Quote(registrations.commands[step].registered_name));
  }
  const std::string& start = registrations.commands[loop.front()].registered_name;
  steps.push_back(Quote(start));
  // The last step leads back to the first: that is where the chain closes.
  findings.AtValue(Severity::kWarning, ChainTextPointer(registrations, loop.back()),
                   fmt::format("leads back into its own chain ({}): the plug-in does not run {} "
                               "again while it is still running, so this step does nothing",
                               ChainText(steps), Quote(start)));
}

void ReportTooLong(const Registrations& registrations, const std::vector<std::size_t>& next,
                   std::size_t start, std::size_t length, bool in_loop, Findings& findings) {
  std::vector<std::string> steps;
  steps.reserve(length);
  for (std::size_t at = start; steps.size() < length; at = next[at]) {
    steps.push_back(Quote(registrations.commands[at].registered_name));
  }
  const std::string opening =
      in_loop ? fmt::format(
                    "is one of a loop of {} commands ({}), each of which starts a chain "
                    "of {}",
                    length, ChainText(steps), length)
              : fmt::format("starts a chain of {} commands ({})", length, ChainText(steps));
  findings.AtValue(Severity::kWarning, ChainTextPointer(registrations, start),
                   fmt::format("{}: the plug-in runs at most {} commands in one chain, so the "
                               "steps after the {}th ({} onwards) are not run",
                               opening, kLongestChain, kLongestChain, steps[kLongestChain]));
}

}  // namespace

std::vector<std::size_t> ChainSteps(const Registrations& registrations) {
  std::vector<std::size_t> next(registrations.commands.size(), kNowhere);
  for (std::size_t index = 0; index < registrations.commands.size(); ++index) {
    if (const auto& text = registrations.commands[index].fields->chain) {
      next[index] = registrations.CommandReachedBy(FirstWord(*text)).value_or(kNowhere);
    }
  }
  return next;
}

std::vector<std::size_t> ChainLengths(const std::vector<std::size_t>& next,
                                      std::vector<std::vector<std::size_t>>* loops) {
  std::vector<std::size_t> lengths(next.size(), 0);
  std::vector<std::size_t> place_on_path(next.size(), kNowhere);
  std::vector<std::size_t> path;
  for (std::size_t start = 0; start < next.size(); ++start) {
    path.clear();
    std::size_t at = start;
    while (at != kNowhere && lengths[at] == 0 && place_on_path[at] == kNowhere) {
      place_on_path[at] = path.size();
      path.push_back(at);
      at = next[at];
    }
    // The path ends where a chain ends, at a command whose length is known, or where
    // it closes a loop: every command of a loop runs the whole loop.
    std::size_t known = at == kNowhere ? 0 : lengths[at];
    std::size_t tail_end = path.size();
    if (at != kNowhere && lengths[at] == 0) {
      tail_end = place_on_path[at];
      if (loops != nullptr) {
        loops->emplace_back(path.begin() + static_cast<std::ptrdiff_t>(tail_end), path.end());
      }
      known = path.size() - tail_end;
      for (std::size_t place = tail_end; place < path.size(); ++place) {
        lengths[path[place]] = known;
      }
    }
    for (std::size_t place = tail_end; place-- > 0;) {
      lengths[path[place]] = ++known;
    }
    for (const std::size_t step : path) {
      place_on_path[step] = kNowhere;
    }
  }
  return lengths;
}

void CheckChains(const Registrations& registrations, Findings& findings) {
  const std::vector<std::size_t> next = ChainSteps(registrations);
  std::vector<std::vector<std::size_t>> loops;
  const std::vector<std::size_t> lengths = ChainLengths(next, &loops);
  for (const std::vector<std::size_t>& loop : loops) {
    ReportLoop(registrations, loop, findings);
  }
  std::vector<std::size_t> led_to_from(next.size(), 0);
  for (const std::size_t target : next) {
    if (target != kNowhere) {
      ++led_to_from[target];
    }
  }
  // A long chain is told once, where it starts: at a command no other text leads to.
  for (std::size_t index = 0; index < next.size(); ++index) {
    if (led_to_from[index] == 0 && lengths[index] > kLongestChain) {
      ReportTooLong(registrations, next, index, lengths[index], false, findings);
    }
  }
  // A loop that nothing leads into has no such start: any of its commands is one.
  for (const std::vector<std::size_t>& loop : loops) {
    const bool closed = std::ranges::all_of(
        loop, [&led_to_from](std::size_t step) { return led_to_from[step] == 1; });
    if (closed && loop.size() > kLongestChain) {
      ReportTooLong(registrations, next, loop.front(), loop.size(), true, findings);
    }
  }
}

}  // namespace Bellwright::ConfigCheck
