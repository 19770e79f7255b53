// What the game thread pays, once, when the storage opens and takes in a kept file at
// its size limit: read, its entries parsed, handed to the players' memory. The file is
// refused beyond the limit, so this is the most it costs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host_library/server_directory.hpp"
#include "opt_out/kept_choices_file.hpp"
#include "storage/choice_memory.hpp"

namespace {

namespace fs = std::filesystem;

void BM_TakeKeptChoicesAtTheLimit(benchmark::State& state) {
  const fs::path server =
      fs::temp_directory_path() / ("bellwright-kept-bench-" + std::to_string(::getpid()));
  const fs::path folder = server / "ArkApi/Plugins/BellwrightEx";
  fs::create_directories(folder);
  Sandbox::SetServerDirectory(server.string());
  // Keys as long as the longest ids, as many as fit.
  std::string text = "{";
  std::size_t entries = 0;
  for (;;) {
    std::string entry = "\n\t\"" + std::string(32, 'a') + std::to_string(entries) + "\": true";
    if (text.size() + entry.size() + 4 > Bellwright::kMaxKeptFileBytes) {
      break;
    }
    text += (entries == 0 ? "" : ",") + entry;
    ++entries;
  }
  text += "\n}\n";
  const fs::path path = Bellwright::KeptFilePath(Bellwright::KeptFile::kChoices);
  std::ofstream(path, std::ios::binary) << text;
  for (auto _ : state) {
    const Bellwright::KeptRead read = Bellwright::ReadKept(Bellwright::KeptFile::kChoices);
    std::vector<Bellwright::Storage::StoredChoice> choices;
    choices.reserve(read.entries.size());
    for (const auto& [key, opted_out] : read.entries) {
      choices.push_back({key, opted_out});
    }
    Bellwright::Storage::ChoiceMemory memory;
    memory.AddUnwritten(choices);
    benchmark::DoNotOptimize(memory);
    if (read.entries.size() != entries) {
      state.SkipWithError("the file was not read whole");
      break;
    }
  }
  state.counters["entries"] = static_cast<double>(entries);
  fs::remove_all(server);
}
BENCHMARK(BM_TakeKeptChoicesAtTheLimit)->Unit(benchmark::kMillisecond);

}  // namespace
