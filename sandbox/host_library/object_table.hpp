#pragma once

#include <vector>

#include "host/game.hpp"

namespace Sandbox {

// The engine's object table, which weak object pointers index: an object that is
// gone keeps its slot, but the slot's serial number moves on, so old weak
// pointers resolve to null.
class ObjectTable {
 public:
  FWeakObjectPtr Register(UObject* object);
  void Destroy(const FWeakObjectPtr& handle);
  void Clear();
  [[nodiscard]] UObject* Resolve(const FWeakObjectPtr& handle) const;

 private:
  struct Slot {
    UObject* object = nullptr;
    int serial = 0;
  };
  // Slot 0 stays empty so a default weak pointer (index 0, serial 0) is null.
  std::vector<Slot> slots_{Slot{}};
  int next_serial_ = 1;
};

ObjectTable& TheObjectTable();

}  // namespace Sandbox
