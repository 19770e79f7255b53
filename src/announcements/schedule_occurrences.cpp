#include "announcements/schedule_occurrences.hpp"

#include <algorithm>
#include <tuple>
#include <utility>

namespace Bellwright {
namespace {

using std::chrono::days;
using std::chrono::local_days;
using std::chrono::minutes;
using std::chrono::seconds;
using std::chrono::sys_seconds;

// A clock time's next instant lies within a week of any local day; one day on each
// side more covers a day made longer or shorter by the clocks going back or forward.
constexpr days kDaysBefore{1};
constexpr days kDaysAfter{9};

struct ClockInstant {
  sys_seconds instant;
  std::size_t at_index;
};

bool OnListedDay(const ClockTimes& times, local_days day) {
  return times.on_day[std::chrono::weekday(day).iso_encoding() - 1];
}

// Every clock time on the listed days from `first` to `last`, sorted by instant.
void AddClockInstants(const ClockTimes& times, local_days first, local_days last,
                      std::vector<ClockInstant>& instants) {
  for (local_days day = first; day <= last; day += days{1}) {
    if (!OnListedDay(times, day)) {
      continue;
    }
    for (std::size_t index = 0; index < times.at_minutes.size(); ++index) {
      const auto local = day + minutes{times.at_minutes[index]};
      instants.push_back({InstantOfLocalTime(*times.zone, local), index});
    }
  }
}

// The clock times near each step's search start; the steps' day ranges usually
// overlap, so each day is converted once.
std::vector<ClockInstant> ClockInstantsAround(const ClockTimes& times,
                                              const std::vector<int>& steps,
                                              sys_seconds not_before) {
  std::vector<ClockInstant> instants;
  std::optional<local_days> covered_to;
  for (const int step : steps) {
    const local_days day = LocalDay(*times.zone, not_before + minutes{step});
    local_days first = day - kDaysBefore;
    if (covered_to && first <= *covered_to) {
      first = *covered_to + days{1};
    }
    AddClockInstants(times, first, day + kDaysAfter, instants);
    covered_to = std::max(covered_to.value_or(day + kDaysAfter), day + kDaysAfter);
  }
  std::ranges::sort(instants, [](const ClockInstant& a, const ClockInstant& b) {
    return std::tie(a.instant, a.at_index) < std::tie(b.instant, b.at_index);
  });
  return instants;
}

bool Earlier(const Occurrence& a, const Occurrence& b) {
  return std::tie(a.instant, a.minutes_left, a.at_index) <
         std::tie(b.instant, b.minutes_left, b.at_index);
}

}  // namespace

std::optional<Occurrence> FirstOccurrenceFrom(const ClockTimes& times, sys_seconds not_before) {
  const bool any_day = std::ranges::find(times.on_day, true) != times.on_day.end();
  if (times.zone == nullptr || times.at_minutes.empty() || times.before_minutes.empty() ||
      !any_day) {
    return std::nullopt;
  }
  std::vector<int> steps = times.before_minutes;
  std::ranges::sort(steps);
  steps.erase(std::unique(steps.begin(), steps.end()), steps.end());
  const std::vector<ClockInstant> instants = ClockInstantsAround(times, steps, not_before);
  std::optional<Occurrence> first;
  for (const int step : steps) {
    const sys_seconds clock_time_from = not_before + minutes{step};
    const auto found =
        std::ranges::lower_bound(instants, clock_time_from, {}, &ClockInstant::instant);
    if (found == instants.end()) {
      continue;
    }
    const Occurrence candidate{found->instant - minutes{step}, found->at_index, step};
    if (!first || Earlier(candidate, *first)) {
      first = candidate;
    }
  }
  return first;
}

OccurrenceCursor::OccurrenceCursor(ClockTimes times, sys_seconds start)
    : times_(std::move(times)), next_(FirstOccurrenceFrom(times_, start)) {}

std::optional<Occurrence> OccurrenceCursor::TakeDue(sys_seconds now) {
  if (!next_ || now < next_->instant) {
    return std::nullopt;
  }
  if (now - next_->instant >= kLatestOccurrenceSend) {
    next_ = FirstOccurrenceFrom(times_, now - kLatestOccurrenceSend + seconds{1});
    if (!next_ || now < next_->instant) {
      return std::nullopt;
    }
  }
  const Occurrence due = *next_;
  next_ = FirstOccurrenceFrom(times_, due.instant + seconds{1});
  return due;
}

}  // namespace Bellwright
