#include "host_library/object_table.hpp"

#include <limits>

namespace Sandbox {

FWeakObjectPtr ObjectTable::Register(UObject* object) {
  const Slot slot{object, NextSerial()};
  int index = 0;
  if (free_slots_.empty()) {
    slots_.push_back(slot);
    index = static_cast<int>(slots_.size() - 1);
  } else {
    index = free_slots_.back();
    free_slots_.pop_back();
    slots_[static_cast<std::size_t>(index)] = slot;
  }
  return FWeakObjectPtr{index, slot.serial};
}

void ObjectTable::Destroy(const FWeakObjectPtr& handle) {
  if (Resolve(handle) != nullptr) {
    slots_[static_cast<std::size_t>(handle.ObjectIndex)] = Slot{};
    free_slots_.push_back(handle.ObjectIndex);
  }
}

void ObjectTable::Clear() {
  slots_.assign(1, Slot{});
  free_slots_.clear();
}

UObject* ObjectTable::Resolve(const FWeakObjectPtr& handle) const {
  if (handle.ObjectIndex <= 0 || static_cast<std::size_t>(handle.ObjectIndex) >= slots_.size()) {
    return nullptr;
  }
  const Slot& slot = slots_[static_cast<std::size_t>(handle.ObjectIndex)];
  return slot.serial != 0 && slot.serial == handle.ObjectSerialNumber ? slot.object : nullptr;
}

// Serial numbers are never reused within two billion objects; zero marks a free slot.
int ObjectTable::NextSerial() {
  last_serial_ = last_serial_ == std::numeric_limits<int>::max() ? 1 : last_serial_ + 1;
  return last_serial_;
}

ObjectTable& TheObjectTable() {
  static ObjectTable table;
  return table;
}

}  // namespace Sandbox
