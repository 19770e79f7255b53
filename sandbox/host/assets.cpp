#include <map>
#include <memory>

#include "host/game.hpp"
#include "icon_asset.hpp"

FSoftObjectPath& FSoftObjectPath::operator=(FString& path) {
  AssetPath = path;
  return *this;
}

// By value, as the game's own function takes it.
UObject* UPrimalAssets::AssetResolve(
    TSoftObjectPtr<UObject> asset) {  // NOLINT(performance-unnecessary-value-param)
  const std::u16string& path = asset.ObjectPath.AssetPath.Wide();
  if (!path.starts_with(u"/Game/")) {
    return nullptr;
  }
  // One object per path for the life of the server, as loaded assets stay loaded.
  static std::map<std::u16string, std::unique_ptr<Sandbox::IconAsset>> loaded;
  auto& icon = loaded[path];
  if (!icon) {
    icon = std::make_unique<Sandbox::IconAsset>(asset.ObjectPath.AssetPath);
  }
  return icon.get();
}
