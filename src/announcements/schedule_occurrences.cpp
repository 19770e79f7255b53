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

bool Earlier(const Occurrence& a, const Occurrence& b) {
  return std::tie(a.instant, a.minutes_left, a.at_index) <
         std::tie(b.instant, b.minutes_left, b.at_index);
}

}  // namespace

std::optional<Occurrence> FirstOccurrenceFrom(const ClockTimes& times, sys_seconds not_before) {
  return OccurrenceCursor(times, not_before).Next();
}

OccurrenceCursor::OccurrenceCursor(ClockTimes times, sys_seconds start) : times_(std::move(times)) {
  const bool any_day = std::ranges::find(times_.on_day, true) != times_.on_day.end();
  if (times_.zone == nullptr || times_.at_minutes.empty() || !any_day) {
    return;
  }
  std::vector<std::pair<int, std::size_t>> sorted;
  for (std::size_t index = 0; index < times_.at_minutes.size(); ++index) {
    sorted.emplace_back(times_.at_minutes[index], index);
  }
  std::ranges::sort(sorted);
  for (const auto& [minute, index] : sorted) {
    if (sorted_minutes_.empty() || sorted_minutes_.back() != minute) {
      sorted_minutes_.push_back(minute);
      first_index_.push_back(index);
    }
  }
  std::vector<int> steps = times_.before_minutes;
  std::ranges::sort(steps);
  steps.erase(std::unique(steps.begin(), steps.end()), steps.end());
  for (const int step : steps) {
    steps_.push_back({step, std::nullopt});
  }
  StartFrom(start);
}

void OccurrenceCursor::StartFrom(sys_seconds not_before) {
  for (Step& step : steps_) {
    step.counts_down_to = FirstAtOrAfter(not_before + minutes{step.minutes});
  }
  ChooseNext();
}

void OccurrenceCursor::ChooseNext() {
  next_.reset();
  for (const Step& step : steps_) {
    if (!step.counts_down_to) {
      continue;
    }
    const Occurrence candidate{step.counts_down_to->instant - minutes{step.minutes},
                               step.counts_down_to->at_index, step.minutes};
    if (!next_ || Earlier(candidate, *next_)) {
      next_ = candidate;
    }
  }
}

std::optional<Occurrence> OccurrenceCursor::TakeDue(sys_seconds now) {
  if (!next_ || now < next_->instant) {
    return std::nullopt;
  }
  if (now - next_->instant >= kLatestOccurrenceSend) {
    StartFrom(now - kLatestOccurrenceSend + seconds{1});
    if (!next_ || now < next_->instant) {
      return std::nullopt;
    }
  }
  const Occurrence due = *next_;
  // Only the steps that fell on this instant move on; every other step still counts
  // down to a clock time after it.
  for (Step& step : steps_) {
    if (step.counts_down_to &&
        step.counts_down_to->instant - minutes{step.minutes} <= due.instant) {
      step.counts_down_to = After(*step.counts_down_to);
    }
  }
  ChooseNext();
  return due;
}

bool OccurrenceCursor::OnListedDay(local_days day) const {
  return times_.on_day[std::chrono::weekday(day).iso_encoding() - 1];
}

sys_seconds OccurrenceCursor::InstantOf(local_days day, std::size_t slot) const {
  if (offset_day_ != day) {
    offset_day_ = day;
    offset_ = OffsetAllDay(*times_.zone, day);
  }
  const std::chrono::local_seconds local = day + minutes{sorted_minutes_[slot]};
  if (offset_) {
    return sys_seconds(local.time_since_epoch() - *offset_);
  }
  return InstantOfLocalTime(*times_.zone, local);
}

// Clock times the clocks skip all fall on the end of the gap: one place, named by the
// first of them in the configured order.
OccurrenceCursor::Place OccurrenceCursor::Settle(local_days day, std::size_t slot) const {
  Place place{day, slot, InstantOf(day, slot), first_index_[slot]};
  while (place.slot + 1 < sorted_minutes_.size() &&
         InstantOf(day, place.slot + 1) == place.instant) {
    ++place.slot;
    place.at_index = std::min(place.at_index, first_index_[place.slot]);
  }
  return place;
}

// Instants grow with the local time, across a change of the clocks too (a skipped time
// is the end of the gap, a time shown twice the first of the two), so within a day the
// first clock time at or after an instant is found by halving.
std::optional<OccurrenceCursor::Place> OccurrenceCursor::FirstAtOrAfter(sys_seconds instant) const {
  const local_days from = LocalDay(*times_.zone, instant) - kDaysBefore;
  for (local_days day = from; day <= from + kDaysBefore + kDaysAfter; day += days{1}) {
    if (!OnListedDay(day) || InstantOf(day, sorted_minutes_.size() - 1) < instant) {
      continue;
    }
    std::size_t low = 0;
    std::size_t high = sorted_minutes_.size() - 1;
    while (low < high) {
      const std::size_t middle = low + (high - low) / 2;
      if (InstantOf(day, middle) < instant) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    return Settle(day, low);
  }
  return std::nullopt;
}

std::optional<OccurrenceCursor::Place> OccurrenceCursor::After(const Place& place) const {
  if (place.slot + 1 < sorted_minutes_.size()) {
    return Settle(place.day, place.slot + 1);
  }
  return FirstAtOrAfter(place.instant + seconds{1});
}

}  // namespace Bellwright
