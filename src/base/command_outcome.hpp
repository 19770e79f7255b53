#pragma once

#include <string>
#include <vector>

namespace Bellwright {

// What an administrative command carried out by another subsystem tells the caller:
// whether it worked (green or red) and the reply, one UTF-8 line an element.
struct CommandOutcome {
  bool succeeded = false;
  std::vector<std::string> lines;

  static CommandOutcome Success(std::string line) { return {true, {std::move(line)}}; }
  static CommandOutcome Failure(std::string line) { return {false, {std::move(line)}}; }
};

}  // namespace Bellwright
