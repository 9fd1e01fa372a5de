// Skin files and the pictures they name, loaded, scaled, shaped, composed and
// hit-tested. A loaded skin holds no more pixels than its budget and the face
// has the Back image's size; a refused skin holds nothing; no cursor loaded
// from a file outlives the skin.
#include <functional>

#include "fuzz_ports.h"
#include "skin/skin.h"
#include "skin/skin_scale.h"

using namespace tomari;
using fuzz::Fail;

namespace {

constexpr char kSkinFile[] = "C:\\Skins\\Fuzz\\Fuzz.tsk";
constexpr char kImageMark[] = "\n#IMAGE#\n";
constexpr std::int64_t kBudget = 4 * 1024 * 1024;

// The skin file, and every other name resolving to one of the pictures (or to
// nothing) by its hash: whatever a skin names, something answers.
class SkinFolder : public fuzz::MemoryFiles {
 public:
  std::vector<std::string> images;
  const std::string* Lookup(const std::string& path) {
    if (path == kSkinFile) return &files[path];
    if (images.empty()) return nullptr;
    const std::size_t pick = std::hash<std::string>{}(path) % (images.size() + 1);
    return pick < images.size() ? &images[pick] : nullptr;
  }
  bool Exists(const std::string& path) override { return Lookup(path) != nullptr; }
  bool ReadAll(const std::string& path, std::string& bytes) override {
    const std::string* f = Lookup(path);
    if (f) bytes = *f;
    return f != nullptr;
  }
  bool ReadHead(const std::string& path, std::size_t limit, std::string& head,
                std::uint64_t& size) override {
    const std::string* f = Lookup(path);
    if (!f) return false;
    size = f->size();
    head = f->substr(0, limit);
    return true;
  }
};

std::int64_t Pixels(const SkinImage& i) { return std::int64_t{i.width} * i.height; }

std::int64_t HeldPixels(const SkinData& skin) {
  std::int64_t n = Pixels(skin.Map);
  for (const SkinImage& i : skin.Images) n += Pixels(i);
  for (const SkinButton& b : skin.Buttons)
    for (const SkinImage& i : b.Images) n += Pixels(i);
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  SkinFolder fs;
  std::size_t at = input.find(kImageMark);
  fs.files[kSkinFile] = input.substr(0, at);
  while (at != std::string::npos) {
    const std::size_t from = at + sizeof kImageMark - 1;
    at = input.find(kImageMark, from);
    fs.images.push_back(input.substr(from, at == std::string::npos ? at : at - from));
  }
  fuzz::Cp932Codec codec;
  fuzz::HeaderDecoder decoder(fs, 1024);
  fuzz::CountingCursors cursors;
  const std::uint8_t knobs = size ? data[size - 1] : 0;

  SkinSource source{kSkinFile, "C:\\Start\\", (knobs & 1) != 0, kBudget};
  SkinData skin;
  const bool loaded = LoadSkin(source, skin, {fs, codec, decoder, cursors});
  FUZZ_CHECK(loaded == skin.loaded);
  if (!loaded) {
    if (HeldPixels(skin) != 0 || !skin.Buttons.empty()) Fail("a refused skin holds something");
    FUZZ_CHECK(cursors.held.empty());
    return 0;
  }
  FUZZ_CHECK(skin.Buttons.size() <= kMaxSkinButtons);
  if (HeldPixels(skin) > kBudget) Fail("a skin holds more pixels than its budget");

  // Scaling is left out for skins too large to scale in a fuzzing run's time.
  if (HeldPixels(skin) < 256 * 1024) ScaleSkin(skin, kBaseDpi + (knobs >> 1) % 97);
  const WidgetShape shape = ExtractShape(skin.Back(), skin.BackColor);
  for (const Rect& r : shape.runs)
    FUZZ_CHECK(r.left >= 0 && r.left < r.right && r.right <= skin.Back().width && r.top >= 0 &&
               r.bottom == r.top + 1 && r.bottom <= skin.Back().height);
  std::vector<int> states(skin.Buttons.size());
  for (std::size_t i = 0; i < states.size(); ++i) states[i] = static_cast<int>(i % 7) - 1;
  const Bitmap face = ComposeFace(skin, states);
  FUZZ_CHECK(face.width == skin.Back().width && face.height == skin.Back().height);
  for (const SkinButton& b : skin.Buttons)
    for (int p : {-1, 0, 5, 40, 1 << 20}) (void)HitTestButton(skin, b, p, p / 2);
  FreeSkin(skin, cursors);
  if (!cursors.held.empty()) Fail("a cursor loaded from a file outlived its skin");
  return 0;
}
