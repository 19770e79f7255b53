#pragma once

#include <optional>
#include <vector>

#include "base/byte_color.hpp"
#include "config/setting_reader.hpp"

// Colours of the configuration: objects with a red, a green and a blue (the sections' own), and
// the custom commands' arrays of three numbers. Each read judges the colour too: values
// outside 0-255 (and what they wrap to), colours written on the 0-1 scale.
namespace Bellwright {

// What a colour object, and a component of it, of the wrong JSON type costs.
struct ColourWrongTypes {
  WrongType object;
  WrongType component;
};

// Strict, as the JSON library's typed read: an absent colour or component is 0, a
// value of another type (a colour that is not an object, a component that is not a
// number or a boolean) makes the colour unreadable. Alpha is 255.
std::optional<ByteColor> StrictColour(const SettingValue& colour, const ColourWrongTypes& wrong);

// Lenient: `fallback` unless the colour is an object; a component that is not a number
// or a boolean reads as 0.
ByteColor LenientColour(const SettingValue& colour, ByteColor fallback,
                        const ColourWrongTypes& wrong);

// The findings of a colour object's numbers only, for one the plug-in does not read.
void JudgeColourObject(const SettingValue& colour);

// A colour object without any component reads as black: a warning saying so.
void JudgeComponentsGiven(const SettingValue& colour, std::string_view consequence);

// A custom command's colour array as the loader reads it: elements 0 to 2 are red, green and blue,
// truncated toward zero and cut to their low 8 bits; alpha is 255. Fewer than three
// numbers give black.
ByteColor MessageColorFromNumbers(const std::vector<float>& numbers);

// The findings of a custom command's colour array the loader has read.
void JudgeColourArray(const SettingValue& colour);

}  // namespace Bellwright
