#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

// The engine's dynamic array: only the operations the plug-in uses.
template <typename T>
class TArray {
 public:
  using ElementType = T;

  TArray() = default;
  TArray(std::initializer_list<T> items) : items_(items) {}

  [[nodiscard]] int Num() const { return static_cast<int>(items_.size()); }
  [[nodiscard]] bool IsEmpty() const { return items_.empty(); }
  [[nodiscard]] bool IsValidIndex(int index) const { return index >= 0 && index < Num(); }

  T& operator[](int index) { return items_[static_cast<std::size_t>(index)]; }
  const T& operator[](int index) const { return items_[static_cast<std::size_t>(index)]; }

  int Add(T item) {
    items_.push_back(std::move(item));
    return Num() - 1;
  }
  int AddUnique(const T& item) {
    const int found = Find(item);
    return found >= 0 ? found : Add(item);
  }
  [[nodiscard]] int Find(const T& item) const {
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
  }
  [[nodiscard]] bool Contains(const T& item) const { return Find(item) >= 0; }
  // Removes every equal element, keeping the order of the rest; returns how many went.
  int Remove(const T& item) { return static_cast<int>(std::erase(items_, item)); }
  void Empty() { items_.clear(); }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<T> items_;
};
