#pragma once

// The colour the host's messaging operations take: components nominally 0 to 1.
struct FLinearColor {
  float R = 0.0F;
  float G = 0.0F;
  float B = 0.0F;
  float A = 0.0F;
};
