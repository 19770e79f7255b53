#include "host_library/object_table.hpp"

namespace Sandbox {

FWeakObjectPtr ObjectTable::Register(UObject* object) {
  slots_.push_back(Slot{object, next_serial_++});
  return FWeakObjectPtr{static_cast<int>(slots_.size() - 1), slots_.back().serial};
}

void ObjectTable::Destroy(const FWeakObjectPtr& handle) {
  if (Resolve(handle) != nullptr) {
    slots_[static_cast<std::size_t>(handle.ObjectIndex)] = Slot{};
  }
}

void ObjectTable::Clear() {
  slots_.assign(1, Slot{});
}

UObject* ObjectTable::Resolve(const FWeakObjectPtr& handle) const {
  if (handle.ObjectIndex <= 0 || static_cast<std::size_t>(handle.ObjectIndex) >= slots_.size()) {
    return nullptr;
  }
  const Slot& slot = slots_[static_cast<std::size_t>(handle.ObjectIndex)];
  return slot.serial == handle.ObjectSerialNumber ? slot.object : nullptr;
}

ObjectTable& TheObjectTable() {
  static ObjectTable table;
  return table;
}

}  // namespace Sandbox
