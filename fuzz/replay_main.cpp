// Stands in for libFuzzer's driver in builds without it: every file of the folders
// (or the files) named on the command line goes once through the fuzz target, so the
// seed corpus and the inputs kept from earlier crashes are checked by the test run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> InputFiles(const std::filesystem::path& argument) {
  std::vector<std::filesystem::path> files;
  if (std::filesystem::is_directory(argument)) {
    for (const auto& entry : std::filesystem::directory_iterator(argument)) {
      if (entry.is_regular_file()) {
        files.push_back(entry.path());
      }
    }
    // A fixed order makes a failure reproducible from the log.
    std::ranges::sort(files);
  } else if (std::filesystem::is_regular_file(argument)) {
    files.push_back(argument);
  }
  return files;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file) {
  std::ifstream stream(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: " << argv[0] << " CORPUS_FOLDER_OR_FILE...\n";
    return 2;
  }
  std::size_t replayed = 0;
  for (int index = 1; index < argc; ++index) {
    for (const auto& file : InputFiles(argv[index])) {
      std::cout << "replaying " << file.string() << '\n' << std::flush;
      const std::vector<std::uint8_t> bytes = ReadBytes(file);
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++replayed;
    }
  }
  // An empty or mistyped corpus path would otherwise pass without testing anything.
  if (replayed == 0) {
    std::cerr << "no input files found\n";
    return 1;
  }
  std::cout << replayed << " inputs replayed\n";
  return 0;
}
