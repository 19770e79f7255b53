#pragma once

#include "host/game.hpp"

namespace Sandbox {

// What an asset path under /Game/ resolves to: an object known by its path.
class IconAsset final : public UObject {
 public:
  explicit IconAsset(FString asset_path) : path(std::move(asset_path)) {}
  FString path;
};

}  // namespace Sandbox
