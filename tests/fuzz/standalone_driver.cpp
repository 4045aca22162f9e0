// Runs a fuzz target without libFuzzer: every file of the seed folders, then
// a fixed number of deterministic mutations of them (bytes flipped, cut,
// repeated, spliced). Used where clang's libFuzzer is not the compiler.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv) {
  std::vector<std::string> seeds;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    for (const auto &e : std::filesystem::directory_iterator(argv[i], ec)) {
      std::ifstream in(e.path(), std::ios::binary);
      seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  if (seeds.empty()) seeds.emplace_back("seed");
  for (const auto &s : seeds) LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(s.data()), s.size());

  std::mt19937 rng(12345);
  const int rounds = 3000;
  for (int r = 0; r < rounds; ++r) {
    std::string m = seeds[rng() % seeds.size()];
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int k = 0; k < edits; ++k) {
      const size_t pos = m.empty() ? 0 : rng() % m.size();
      switch (rng() % 5) {
        case 0:
          if (!m.empty()) m[pos] = static_cast<char>(rng());
          break;
        case 1:
          m.insert(pos, 1, static_cast<char>(rng()));
          break;
        case 2:
          if (!m.empty()) m.erase(pos, 1 + rng() % 16);
          break;
        case 3:
          m.insert(pos, m.substr(0, std::min<size_t>(m.size(), 1 + rng() % 64)));
          break;
        case 4: {
          const std::string &other = seeds[rng() % seeds.size()];
          if (!other.empty()) m.insert(pos, other.substr(rng() % other.size(), 32));
          break;
        }
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(m.data()), m.size());
  }
  std::printf("%zu seeds, %d mutations: no fault\n", seeds.size(), rounds);
  return 0;
}
