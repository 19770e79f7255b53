#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace Bellwright {

// The minutes left at each mark of a countdown of `minutes`: `minutes` itself (the
// announcement at once), then each of `steps` below it from the largest, each once,
// then 0, the end.
std::vector<int> CountdownMarks(int minutes, std::vector<int> steps);

// Of the marks from `next` on, the last whose instant has come `elapsed_seconds` after
// the start, so a server that stalled past several marks announces only the latest;
// none while the next mark is still ahead.
std::optional<std::size_t> DueMark(std::span<const int> marks, std::size_t next, int minutes,
                                   std::int64_t elapsed_seconds);

// Seconds from the start to the mark with `minutes_left`.
std::int64_t SecondsToMark(int minutes, int minutes_left);

}  // namespace Bellwright
