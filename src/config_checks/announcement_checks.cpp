#include "config_checks/announcement_checks.hpp"

#include <fmt/format.h>

#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <string>

#include "base/schedule_fields.hpp"
#include "base/time_zone.hpp"
#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/timed_message_checks.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

struct Kind {
  std::string_view section;  // "Announcements"
  std::string_view what;     // "list"
  std::size_t most = 0;      // how many of them run
};

constexpr Kind kList{"Announcements", "list", kMostAnnouncementLists};
constexpr Kind kSchedule{"Schedules", "schedule", kMostSchedules};

// Names taken so far, ignoring letter case, with the pointer of the first taker.
using TakenNames = std::map<std::string, std::string>;

bool SwitchedOff(const json& item) {
  const json* enabled = Member(item, "Enabled");
  return enabled != nullptr && *enabled == false;
}

// Whether the item keeps its name: a list or schedule without a usable name does not
// run, and neither does one whose name an earlier one took.
void CheckName(const Kind& kind, const std::string& pointer, const json& item, TakenNames& taken,
               Findings& findings) {
  const json* name = Member(item, "Name");
  if (name != nullptr && !name->is_string()) {
    return;  // the wrong type has its own finding
  }
  if (name == nullptr || name->get_ref<const std::string&>().empty()) {
    findings.AtValue(Severity::kError, name == nullptr ? pointer : ChildPointer(pointer, "Name"),
                     fmt::format("this {} has no \"Name\", so it does not run; give it a name "
                                 "no other list or schedule has",
                                 kind.what));
    return;
  }
  const std::string& text = name->get_ref<const std::string&>();
  switch (RefuseAnnouncementName(text)) {
    case NameRefusal::kReserved:
      findings.AtValue(Severity::kError, ChildPointer(pointer, "Name"),
                       fmt::format("{} is a word of bw.pause, bw.resume and bw.preview (timed, "
                                   "all, welcome, firstjoin, ignoring letter case), so this {} "
                                   "does not run; give it another name",
                                   Quote(text), kind.what));
      return;
    case NameRefusal::kControlCharacter:
      findings.AtValue(Severity::kError, ChildPointer(pointer, "Name"),
                       fmt::format("this name holds a control character (a line break, a tab, "
                                   "…), so this {} does not run; give it a name of visible "
                                   "characters and blanks",
                                   kind.what));
      return;
    case NameRefusal::kNone:
      break;
  }
  const auto [first, inserted] = taken.try_emplace(AnnouncementNameKey(text), pointer);
  if (!inserted) {
    findings.AtValue(Severity::kError, ChildPointer(pointer, "Name"),
                     fmt::format("the name {} is taken by {} (names compare ignoring letter "
                                 "case), so this {} does not run",
                                 Quote(text), first->second, kind.what));
  }
}

void CheckInterval(const std::string& pointer, const json& list, Findings& findings) {
  const json* interval = Member(list, "Interval");
  if (interval == nullptr) {
    findings.AtValue(Severity::kError, pointer,
                     "no \"Interval\", so this list does not run; add for example "
                     "\"Interval\": 600 (seconds)");
  } else if (interval->is_number() && std::trunc(interval->get<double>()) < 1) {
    findings.AtValue(Severity::kError, ChildPointer(pointer, "Interval"),
                     fmt::format("an interval of {} seconds, so this list does not run; give "
                                 "the seconds between two messages, at least 1",
                                 interval->dump()));
  }
}

void CheckList(const std::string& pointer, const json& list, Findings& findings) {
  const json* messages = Member(list, "Messages");
  if (!SwitchedOff(list)) {
    CheckInterval(pointer, list, findings);
    if (messages == nullptr || (messages->is_array() && messages->empty())) {
      findings.AtValue(Severity::kWarning,
                       messages == nullptr ? pointer : ChildPointer(pointer, "Messages"),
                       "this list has no messages: nothing is ever sent");
    }
  }
  if (messages != nullptr && messages->is_array()) {
    for (std::size_t index = 0; index < messages->size(); ++index) {
      CheckTimedMessageEntry(ChildPointer(ChildPointer(pointer, "Messages"), index),
                             (*messages)[index], findings);
    }
  }
}

// What a schedule's array holds and how much of it is used.
struct Entries {
  std::string_view key;        // "At"
  std::string_view none_left;  // "no clock time"
  std::size_t most = 0;        // usable entries taken; the rest are skipped
  std::string_view what;       // "clock times"
};

// Entries of a schedule's array that the plug-in skips get a warning each; an array
// left with none stops the schedule, and usable entries past the limit are named once.
// Entries of the wrong JSON type have their own finding.
template <typename Usable>
void CheckEntries(const std::string& pointer, const json& schedule, const Entries& kind,
                  Usable&& usable, Findings& findings) {
  const json* entries = Member(schedule, kind.key);
  if (entries == nullptr || !entries->is_array()) {
    return;
  }
  const std::string array_pointer = ChildPointer(pointer, kind.key);
  std::size_t used = 0;
  for (std::size_t index = 0; index < entries->size(); ++index) {
    const std::string entry_pointer = ChildPointer(array_pointer, index);
    if (!usable(entry_pointer, (*entries)[index])) {
      continue;
    }
    if (used == kind.most) {
      findings.AtValue(Severity::kWarning, entry_pointer,
                       fmt::format("a schedule uses its first {} {}: this one and those after it "
                                   "are skipped",
                                   kind.most, kind.what));
      break;
    }
    ++used;
  }
  if (used == 0) {
    findings.AtValue(Severity::kError, array_pointer,
                     fmt::format("{}, so this schedule never sends anything", kind.none_left));
  }
}

void CheckClockTimes(const std::string& pointer, const json& schedule, Findings& findings) {
  if (Member(schedule, "At") == nullptr) {
    findings.AtValue(Severity::kError, pointer,
                     "no \"At\", so this schedule does not run; add the clock times, such as "
                     "\"At\": [\"06:00\"]");
    return;
  }
  CheckEntries(
      pointer, schedule, {"At", "no clock time", kMostClockTimes, "clock times"},
      [&findings](const std::string& entry_pointer, const json& entry) {
        if (!entry.is_string()) {
          return false;
        }
        if (MinuteOfDayFromText(entry.get_ref<const std::string&>())) {
          return true;
        }
        findings.AtValue(Severity::kWarning, entry_pointer,
                         fmt::format("{} is not a clock time written HH:MM from 00:00 to 23:59, "
                                     "such as \"06:00\": it is skipped",
                                     Quote(entry.get_ref<const std::string&>())));
        return false;
      },
      findings);
}

void CheckDays(const std::string& pointer, const json& schedule, Findings& findings) {
  // A day written otherwise has the finding of a value outside the allowed ones.
  CheckEntries(
      pointer, schedule, {"Days", "no day", std::numeric_limits<std::size_t>::max(), "days"},
      [](const std::string&, const json& entry) {
        return entry.is_string() && WeekdayFromName(entry.get_ref<const std::string&>());
      },
      findings);
}

void CheckSteps(const std::string& pointer, const json& schedule, Findings& findings) {
  CheckEntries(
      pointer, schedule, {"Before", "no countdown step", kMostCountdownSteps, "countdown steps"},
      [&findings](const std::string& entry_pointer, const json& entry) {
        if (!entry.is_number()) {
          return false;  // another type has its own finding
        }
        if (StepMinutesFromNumber(entry.get<double>())) {
          return true;
        }
        findings.AtValue(Severity::kWarning, entry_pointer,
                         fmt::format("{} is not a whole number of minutes from 0 to {}: this "
                                     "step is skipped",
                                     entry.dump(), kLongestStepMinutes));
        return false;
      },
      findings);
}

// Why `name` stops its schedule; none when the database knows it.
std::optional<std::string> ZoneProblem(const std::string& name) {
  if (FindTimeZone(name) != nullptr) {
    return std::nullopt;
  }
  if (const std::string problem = TimeZoneDatabaseProblem(); !problem.empty()) {
    return fmt::format(
        "{} cannot be looked up, so this schedule does not run: the time-zone "
        "database cannot be read ({}); only \"UTC\" is known without it",
        Quote(name), problem);
  }
  return fmt::format(
      "{} is not a zone of the IANA time-zone database, so this schedule does "
      "not run; write a name such as \"Europe/Berlin\" or \"UTC\", letter case as "
      "listed",
      Quote(name));
}

void CheckZone(const std::string& pointer, const json& schedule, Findings& findings,
               std::vector<ZoneToLookUp>* zones_later) {
  const json* zone = Member(schedule, "TimeZone");
  if (zone == nullptr || !zone->is_string()) {
    return;
  }
  const std::string& name = zone->get_ref<const std::string&>();
  const std::string zone_pointer = ChildPointer(pointer, "TimeZone");
  if (zones_later != nullptr) {
    const std::optional<ValuePlace> place = findings.Index().Find(zone_pointer);
    const LineColumn at = findings.Index().Locate(place ? place->value_offset : 0);
    zones_later->push_back({name, zone_pointer, at.line, at.column});
    return;
  }
  if (const auto problem = ZoneProblem(name)) {
    findings.AtValue(Severity::kError, zone_pointer, *problem);
  }
}

void CheckSchedule(const std::string& pointer, const json& schedule, Findings& findings,
                   std::vector<ZoneToLookUp>* zones_later) {
  CheckClockTimes(pointer, schedule, findings);
  CheckDays(pointer, schedule, findings);
  CheckSteps(pointer, schedule, findings);
  CheckZone(pointer, schedule, findings, zones_later);
  CheckTimedMessageEntry(pointer, schedule, findings);
}

template <typename CheckItem>
void CheckSection(const json& document, const Kind& kind, TakenNames& taken, CheckItem&& check_item,
                  Findings& findings) {
  const json* items = Member(document, kind.section);
  if (items == nullptr || !items->is_array()) {
    return;
  }
  const std::string section_pointer = ChildPointer("", kind.section);
  for (std::size_t index = 0; index < items->size(); ++index) {
    if (index == kind.most) {
      findings.AtValue(Severity::kError, ChildPointer(section_pointer, index),
                       fmt::format("only the first {} {}s run: this one and those after it do "
                                   "not; join some, or remove those no longer needed",
                                   kind.most, kind.what));
      break;
    }
    const json& item = (*items)[index];
    if (!item.is_object()) {
      continue;
    }
    const std::string pointer = ChildPointer(section_pointer, index);
    CheckName(kind, pointer, item, taken, findings);
    check_item(pointer, item, findings);
  }
}

}  // namespace

void CheckAnnouncements(const json& document, Findings& findings,
                        std::vector<ZoneToLookUp>* zones_later) {
  TakenNames taken;
  CheckSection(document, kList, taken, CheckList, findings);
  CheckSection(
      document, kSchedule, taken,
      [zones_later](const std::string& pointer, const json& schedule, Findings& found) {
        CheckSchedule(pointer, schedule, found, zones_later);
      },
      findings);
}

std::vector<Finding> LookUpZones(const std::vector<ZoneToLookUp>& zones) {
  std::vector<Finding> found;
  for (const ZoneToLookUp& zone : zones) {
    if (auto problem = ZoneProblem(zone.name)) {
      found.push_back(
          {Severity::kError, zone.pointer, zone.line, zone.column, std::move(*problem)});
    }
  }
  return found;
}

}  // namespace Bellwright::ConfigCheck
