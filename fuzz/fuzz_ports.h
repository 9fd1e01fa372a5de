#pragma once
// The ports the fuzz targets hand to the core: files in memory, the Japanese
// ANSI code page through iconv, a picture decoder that trusts only the size in
// a file's header, and cursors that are counted so that leaks show.
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "platform/ports.h"

namespace tomari::fuzz {

// Stops the run with a message: libFuzzer keeps the input that got here.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}
#define FUZZ_CHECK(cond) ((cond) ? void() : ::tomari::fuzz::Fail(#cond))

class MemoryFiles : public FileSystem {
 public:
  std::map<std::string, std::string> files;
  bool Exists(const std::string& path) override { return files.count(path) != 0; }
  bool ReadAll(const std::string& path, std::string& bytes) override {
    auto it = files.find(path);
    if (it == files.end()) return false;
    bytes = it->second;
    return true;
  }
  bool ReadHead(const std::string& path, std::size_t limit, std::string& head,
                std::uint64_t& size) override {
    auto it = files.find(path);
    if (it == files.end()) return false;
    size = it->second.size();
    head = it->second.substr(0, limit);
    return true;
  }
  bool WriteAtomic(const std::string& path, const std::string& bytes) override {
    files[path] = bytes;
    return true;
  }
  bool CanReplace(const std::string&) override { return true; }
  bool MakeFolder(const std::string&) override { return false; }
  bool Remove(const std::string& path) override { return files.erase(path), true; }
  std::string AppDataFolder() override { return {}; }
};

// Code page 932 as Windows converts it; iconv's CP932 is the same table.
class Cp932Codec : public TextCodec {
 public:
  unsigned AnsiCodePage() override { return 932; }
  bool ToAnsi(const std::string& utf8, std::string& ansi) override {
    return Convert(ToCp932(), utf8, ansi, "?");
  }
  std::string FromAnsi(const std::string& ansi) override {
    std::string out;
    Convert(FromCp932(), ansi, out, "\xEF\xBF\xBD");
    return out;
  }
  bool IsLeadByte(unsigned char b) override {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  }

 private:
  static iconv_t ToCp932() {
    static iconv_t cd = iconv_open("CP932", "UTF-8");
    return cd;
  }
  static iconv_t FromCp932() {
    static iconv_t cd = iconv_open("UTF-8", "CP932");
    return cd;
  }
  // An unconvertible byte becomes `replacement` and is skipped.
  static bool Convert(iconv_t cd, const std::string& in, std::string& out,
                      const char* replacement) {
    if (cd == reinterpret_cast<iconv_t>(-1)) Fail("iconv has no CP932");
    out.clear();
    bool ok = true;
    std::string src = in;
    char* p = src.data();
    std::size_t left = src.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (left > 0) {
      char buf[512];
      char* q = buf;
      std::size_t room = sizeof buf;
      const std::size_t r = iconv(cd, &p, &left, &q, &room);
      out.append(buf, static_cast<std::size_t>(q - buf));
      if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      ok = false;
      out += replacement;
      ++p;
      --left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return ok;
  }
};

// Reads only the picture size from a BMP, GIF or PNG header and makes a
// picture of that size from the file's bytes; other files do not decode.
// Sizes past `maxSide` come back malformed (size set, no pixels), which is
// what a misbehaving decoder could hand over.
class HeaderDecoder : public ImageDecoder {
 public:
  explicit HeaderDecoder(MemoryFiles& fs, int maxSide = 2048) : fs_(fs), maxSide_(maxSide) {}
  Bitmap Decode(const std::string& path) override {
    std::string b;
    if (!fs_.ReadAll(path, b)) return {};
    auto u = [&](std::size_t i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0u; };
    long w = 0, h = 0;
    if (b.rfind("BM", 0) == 0) {
      w = static_cast<std::int32_t>(u(18) | u(19) << 8 | u(20) << 16 | u(21) << 24);
      h = static_cast<std::int32_t>(u(22) | u(23) << 8 | u(24) << 16 | u(25) << 24);
      h = std::labs(h);
    } else if (b.rfind("GIF8", 0) == 0) {
      w = u(6) | u(7) << 8;
      h = u(8) | u(9) << 8;
    } else if (b.rfind("\x89PNG", 0) == 0) {
      w = u(16) << 24 | u(17) << 16 | u(18) << 8 | u(19);
      h = u(20) << 24 | u(21) << 16 | u(22) << 8 | u(23);
    }
    return Make(b, w, h);
  }
  bool ReadPngWithLibrary(const std::string& path, int width, int height, Bitmap& out) override {
    std::string b;
    if (!fs_.ReadAll(path, b) || b.size() < 32) return false;
    out = Make(b, width, height);
    return true;
  }

 private:
  Bitmap Make(const std::string& b, long w, long h) const {
    Bitmap out;
    if (w <= 0 || h <= 0) return out;
    if (w > maxSide_ || h > maxSide_) {
      out.width = static_cast<int>(w);
      out.height = static_cast<int>(h);
      return out;
    }
    out = Bitmap(static_cast<int>(w), static_cast<int>(h));
    // A few colours from the file, so that key colours and shapes occur.
    for (std::size_t i = 0; i < out.pixels.size(); ++i)
      out.pixels[i] = b.empty() ? 0 : (static_cast<unsigned char>(b[i % b.size()]) & 3) * 0x550055u;
    return out;
  }
  MemoryFiles& fs_;
  int maxSide_;
};

// Hands out numbered cursors and remembers which file cursors are still held.
class CountingCursors : public CursorLoader {
 public:
  std::set<CursorHandle> held;
  CursorHandle LoadSystem(int id) override { return static_cast<CursorHandle>(id); }
  CursorHandle LoadFromFile(const std::string& path) override {
    if (path.size() % 3 == 0) return 0;  // some files are no cursors
    held.insert(++next_);
    return next_;
  }
  void Destroy(CursorHandle c) override { held.erase(c); }
  void Show(CursorHandle) override {}

 private:
  CursorHandle next_ = 1'000'000;
};

}  // namespace tomari::fuzz
