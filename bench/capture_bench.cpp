// Saving a 3840 x 2160 capture as BMP: our row-by-row writer against a naive
// one that handles every pixel on its own (as a writer that reads and writes
// one pixel per call does), and against plainly copying and writing the same
// number of bytes. Each is timed in memory and as a whole save to a file; the
// best of several runs counts.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "commands/bmp_file.h"
#include "commands/capture_save.h"

using namespace tomari;

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr int kRuns = 5;

double BestMs(const std::function<void()>& fn) {
  double best = 1e300;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    fn();
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    if (spent.count() < best) best = spent.count();
  }
  return best;
}

// The header, then every pixel fetched and appended on its own, bottom row first.
std::string NaiveBytes(const Bitmap& p) {
  const std::string header = BmpFileBytes(Bitmap(1, 1)).substr(0, 58);
  std::string out = header;
  const std::size_t row = BmpRowSize(p.width);
  const std::size_t size = 58 + row * p.height;
  for (int i = 0; i < 4; ++i) out[2 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
  for (int i = 0; i < 4; ++i) out[18 + i] = static_cast<char>((p.width >> (8 * i)) & 0xFF);
  for (int i = 0; i < 4; ++i) out[22 + i] = static_cast<char>((p.height >> (8 * i)) & 0xFF);
  for (int y = p.height - 1; y >= 0; --y) {
    for (int x = 0; x < p.width; ++x) {
      const Pixel c = p.At(x, y);
      out.push_back(static_cast<char>(c & 0xFF));
      out.push_back(static_cast<char>((c >> 8) & 0xFF));
      out.push_back(static_cast<char>((c >> 16) & 0xFF));
    }
    for (std::size_t pad = 3 * static_cast<std::size_t>(p.width); pad < row; ++pad)
      out.push_back('\0');
  }
  return out;
}

bool WriteWhole(const char* path, const std::string& bytes) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// The naive save: three bytes a call through the C library's buffered stream.
bool WriteNaive(const char* path, const Bitmap& p) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const std::string header = BmpFileBytes(p).substr(0, 58);
  std::fwrite(header.data(), 1, header.size(), f);
  const std::size_t row = BmpRowSize(p.width);
  const char zero[4] = {};
  for (int y = p.height - 1; y >= 0; --y) {
    for (int x = 0; x < p.width; ++x) {
      const Pixel c = p.At(x, y);
      const char bgr[3] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                           static_cast<char>((c >> 16) & 0xFF)};
      std::fwrite(bgr, 1, 3, f);
    }
    std::fwrite(zero, 1, row - 3 * static_cast<std::size_t>(p.width), f);
  }
  return std::fclose(f) == 0;
}

// Every pixel differs from its neighbours, so no writer can take a short cut.
Bitmap Gradient(int width, int height) {
  Bitmap b(width, height);
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) b.At(x, y) = MakePixel(x, y, x + 2 * y);
  return b;
}

}  // namespace

int main() {
  const Bitmap picture = Gradient(kWidth, kHeight);
  const std::string ours = BmpFileBytes(picture);
  const std::string naive = NaiveBytes(picture);
  if (ours != naive) {
    std::printf("the naive writer disagrees with BmpFileBytes: the comparison would be void\n");
    return 1;
  }
  const double megabytes = static_cast<double>(ours.size()) / (1024.0 * 1024.0);
  std::printf("BMP of %d x %d: %zu bytes (%.1f MiB), best of %d runs\n", kWidth, kHeight,
              ours.size(), megabytes, kRuns);

  // In memory.
  std::string sink;
  const double oursMs = BestMs([&] { sink = BmpFileBytes(picture); });
  const double naiveMs = BestMs([&] { sink = NaiveBytes(picture); });
  std::string copy(ours.size(), '\0');
  const double copyMs = BestMs([&] { std::memcpy(copy.data(), ours.data(), ours.size()); });
  std::printf("in memory: row by row %.2f ms, per pixel %.2f ms, plain copy %.2f ms\n", oursMs,
              naiveMs, copyMs);
  std::printf("  per pixel / row by row = %.2f, row by row / plain copy = %.2f\n", naiveMs / oursMs,
              oursMs / copyMs);

  // Whole saves to a file.
  const std::string file =
      (std::filesystem::temp_directory_path() / "tomari_capture_bench.bmp").string();
  const char* path = file.c_str();
  bool ok = true;
  const double saveMs = BestMs([&] { ok = WriteWhole(path, BmpFileBytes(picture)) && ok; });
  const double naiveSaveMs = BestMs([&] { ok = WriteNaive(path, picture) && ok; });
  const double plainMs = BestMs([&] { ok = WriteWhole(path, copy) && ok; });
  std::remove(path);
  if (!ok) {
    std::printf("a file write failed: file timings void\n");
    return 1;
  }
  std::printf(
      "to a file: SaveBmpFile bytes + write %.2f ms (%.0f MiB/s), per-pixel writes %.2f ms, "
      "plain write of as many bytes %.2f ms (%.0f MiB/s)\n",
      saveMs, megabytes / (saveMs / 1000.0), naiveSaveMs, plainMs, megabytes / (plainMs / 1000.0));
  std::printf("  per pixel / row by row = %.2f, row by row / plain write = %.2f\n",
              naiveSaveMs / saveMs, saveMs / plainMs);
  return 0;
}
