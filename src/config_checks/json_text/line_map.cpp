#include "config_checks/json_text/line_map.hpp"

#include <algorithm>
#include <limits>

namespace Bellwright::ConfigCheck {
namespace {

constexpr std::size_t kBlockBytes = 256;
bool StartsCharacter(char unit) {
  return (static_cast<unsigned char>(unit) & 0xC0U) != 0x80U;
}

int ClampedInt(std::size_t value) {
  return static_cast<int>(std::min<std::size_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

LineMap::LineMap(std::string_view text) : text_(text) {
  if (text.starts_with(kByteOrderMark)) {
    text_start_ = kByteOrderMark.size();
  }
}

void LineMap::Count() const {
  if (counted_) {
    return;
  }
  counted_ = true;
  line_starts_.push_back(text_start_);
  for (std::size_t at = text_.find('\n'); at != std::string_view::npos;
       at = text_.find('\n', at + 1)) {
    line_starts_.push_back(at + 1);
  }
  characters_before_block_.reserve(text_.size() / kBlockBytes + 1);
  std::size_t characters = 0;
  for (std::size_t block = 0; block < text_.size(); block += kBlockBytes) {
    characters_before_block_.push_back(characters);
    const std::string_view bytes = text_.substr(block, kBlockBytes);
    characters += static_cast<std::size_t>(std::ranges::count_if(bytes, StartsCharacter));
  }
}

std::size_t LineMap::CharactersBefore(std::size_t offset) const {
  const std::size_t block = offset / kBlockBytes;
  if (block >= characters_before_block_.size()) {
    return 0;
  }
  std::size_t characters = characters_before_block_[block];
  for (std::size_t at = block * kBlockBytes; at < offset; ++at) {
    characters += StartsCharacter(text_[at]) ? 1 : 0;
  }
  return characters;
}

LineColumn LineMap::Locate(std::size_t offset) const {
  Count();
  offset = std::clamp(offset, text_start_, text_.size());
  const auto after = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
  const auto line_index = static_cast<std::size_t>(after - line_starts_.begin()) - 1;
  const std::size_t line_start = line_starts_[line_index];
  return {ClampedInt(line_index + 1),
          ClampedInt(CharactersBefore(offset) - CharactersBefore(line_start) + 1)};
}

}  // namespace Bellwright::ConfigCheck
