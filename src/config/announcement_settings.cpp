#include "config/announcement_settings.hpp"

#include <cmath>
#include <limits>
#include <optional>
#include <set>

#include "base/schedule_fields.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

// About three centuries, as for the timed messages: the due time stays inside 64 bits.
constexpr double kLongestIntervalSeconds = 1e10;

const json* MemberOrNull(const json& object, const char* key) {
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

// A switch is on unless it says false; a value that is not a boolean keeps the item off.
bool Enabled(const json& item) {
  const json* enabled = MemberOrNull(item, "Enabled");
  return enabled == nullptr || (enabled->is_boolean() && enabled->get<bool>());
}

bool FlagOr(const json& item, const char* key, bool fallback) {
  const json* flag = MemberOrNull(item, key);
  return flag != nullptr && flag->is_boolean() ? flag->get<bool>() : fallback;
}

std::optional<std::string> Name(const json& item, std::set<std::string>& taken) {
  const json* name = MemberOrNull(item, "Name");
  if (name == nullptr || !name->is_string() || name->get_ref<const std::string&>().empty() ||
      RefuseAnnouncementName(name->get_ref<const std::string&>()) != NameRefusal::kNone) {
    return std::nullopt;
  }
  if (!taken.insert(AnnouncementNameKey(name->get_ref<const std::string&>())).second) {
    return std::nullopt;
  }
  return name->get<std::string>();
}

std::optional<long long> IntervalSeconds(const json& list) {
  const json* interval = MemberOrNull(list, "Interval");
  if (interval == nullptr || !interval->is_number()) {
    return std::nullopt;
  }
  const double seconds = std::trunc(interval->get<double>());
  if (!(seconds >= 1)) {
    return std::nullopt;
  }
  return static_cast<long long>(std::min(seconds, kLongestIntervalSeconds));
}

// The usable entries of an array, each passed to `use`, which tells whether it took it,
// until `most` were taken; none when the value is there but not an array.
template <typename Use>
bool ReadEntries(const json* entries, std::size_t most, Use&& use) {
  if (entries == nullptr) {
    return true;
  }
  if (!entries->is_array()) {
    return false;
  }
  std::size_t taken = 0;
  for (const json& entry : *entries) {
    if (taken == most) {
      break;
    }
    taken += use(entry) ? 1 : 0;
  }
  return true;
}

bool ReadClockTimes(const json& schedule, ScheduleSettings& settings) {
  const json* at = MemberOrNull(schedule, "At");
  return at != nullptr && ReadEntries(at, kMostClockTimes, [&settings](const json& entry) {
           if (!entry.is_string()) {
             return false;
           }
           const auto minutes = MinuteOfDayFromText(entry.get_ref<const std::string&>());
           if (minutes) {
             settings.at_texts.push_back(entry.get<std::string>());
             settings.at_minutes.push_back(*minutes);
           }
           return minutes.has_value();
         });
}

bool ReadDays(const json& schedule, ScheduleSettings& settings) {
  const json* days = MemberOrNull(schedule, "Days");
  if (days == nullptr) {
    settings.on_day.fill(true);
    return true;
  }
  return ReadEntries(days, std::numeric_limits<std::size_t>::max(), [&settings](const json& entry) {
    if (!entry.is_string()) {
      return false;
    }
    if (const auto day = WeekdayFromName(entry.get_ref<const std::string&>())) {
      settings.on_day[static_cast<std::size_t>(*day)] = true;
    }
    return false;  // a day named twice counts once: every entry is read
  });
}

bool ReadSteps(const json& schedule, ScheduleSettings& settings) {
  const json* before = MemberOrNull(schedule, "Before");
  if (before == nullptr) {
    settings.before_minutes = {0};
    return true;
  }
  return ReadEntries(before, kMostCountdownSteps, [&settings](const json& entry) {
    if (!entry.is_number()) {
      return false;
    }
    const auto minutes = StepMinutesFromNumber(entry.get<double>());
    if (minutes) {
      settings.before_minutes.push_back(*minutes);
    }
    return minutes.has_value();
  });
}

bool ReadZone(const json& schedule, ScheduleSettings& settings) {
  const json* zone = MemberOrNull(schedule, "TimeZone");
  if (zone != nullptr && !zone->is_string()) {
    return false;
  }
  if (zone != nullptr) {
    settings.zone_name = zone->get_ref<const std::string&>();
  }
  return true;
}

std::optional<ScheduleSettings> ReadSchedule(const json& schedule) {
  ScheduleSettings settings;
  const bool readable = ReadClockTimes(schedule, settings) && ReadDays(schedule, settings) &&
                        ReadSteps(schedule, settings) && ReadZone(schedule, settings);
  const bool any_day = std::ranges::find(settings.on_day, true) != settings.on_day.end();
  if (!readable || settings.at_minutes.empty() || settings.before_minutes.empty() || !any_day) {
    return std::nullopt;
  }
  settings.enabled = Enabled(schedule);
  settings.leave_out_opted_out = FlagOr(schedule, "OptOut", false);
  settings.section = &schedule;
  return settings;
}

template <typename Read>
void ReadSection(const json& document, const char* key, std::size_t most,
                 std::set<std::string>& taken, Read&& read) {
  const json* items = document.is_object() ? MemberOrNull(document, key) : nullptr;
  if (items == nullptr || !items->is_array()) {
    return;
  }
  for (std::size_t index = 0; index < items->size() && index < most; ++index) {
    const json& item = (*items)[index];
    if (!item.is_object()) {
      continue;
    }
    if (auto name = Name(item, taken)) {
      read(std::move(*name), item);
    }
  }
}

}  // namespace

AnnouncementSettings ReadAnnouncements(const json& document) {
  AnnouncementSettings settings;
  std::set<std::string> taken;
  ReadSection(document, "Announcements", kMostAnnouncementLists, taken,
              [&settings](std::string name, const json& list) {
                const auto interval = IntervalSeconds(list);
                if (!interval) {
                  return;
                }
                settings.lists.push_back({std::move(name), Enabled(list), *interval,
                                          FlagOr(list, "OptOut", true), &list});
              });
  ReadSection(document, "Schedules", kMostSchedules, taken,
              [&settings](std::string name, const json& schedule) {
                if (auto read = ReadSchedule(schedule)) {
                  read->name = std::move(name);
                  settings.schedules.push_back(std::move(*read));
                }
              });
  return settings;
}

}  // namespace Bellwright
