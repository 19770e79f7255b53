#pragma once

#include <cstddef>
#include <vector>

#include "host/game.hpp"

namespace Sandbox {

// The engine's object table, which weak object pointers index. When an object goes,
// its slot's serial number is cleared, so old weak pointers resolve to null; a later
// object may take the slot, but under a serial number no earlier object had, so the
// old pointers stay null.
class ObjectTable {
 public:
  FWeakObjectPtr Register(UObject* object);
  void Destroy(const FWeakObjectPtr& handle);
  void Clear();
  [[nodiscard]] UObject* Resolve(const FWeakObjectPtr& handle) const;

  // Slots in use, and slots the table holds in all: what departed objects cost.
  [[nodiscard]] std::size_t LiveCount() const { return SlotCount() - free_slots_.size(); }
  [[nodiscard]] std::size_t SlotCount() const { return slots_.size() - 1; }

 private:
  struct Slot {
    UObject* object = nullptr;
    int serial = 0;
  };
  int NextSerial();

  // Slot 0 stays empty so a default weak pointer (index 0, serial 0) is null.
  std::vector<Slot> slots_{Slot{}};
  std::vector<int> free_slots_;
  int last_serial_ = 0;
};

ObjectTable& TheObjectTable();

}  // namespace Sandbox
