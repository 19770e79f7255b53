#pragma once

#include <chrono>

namespace Bellwright::Storage {

// How long one database operation may block the worker. They also bound how long
// stopping can take beyond its own budget when the database hangs.
struct DatabaseTimeouts {
  std::chrono::milliseconds sqlite_busy{1000};
  std::chrono::seconds mysql_connect{2};
  std::chrono::seconds mysql_io{3};
};

}  // namespace Bellwright::Storage
