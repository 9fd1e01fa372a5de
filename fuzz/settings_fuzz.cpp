// Setting.ini through the settings record: load, save and load again give the
// same settings, and a second save writes the same bytes as the first.
#include "app/settings.h"
#include "fuzz_ports.h"

using namespace tomari;
using fuzz::Fail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::MemoryFiles fs;
  fuzz::Cp932Codec codec;
  const std::string original(reinterpret_cast<const char*>(data), size);
  const bool library = size > 0 && (data[0] & 1);

  App first;
  first.facts.AppFolder = "C:\\トマリギ\\";
  first.facts.HasImageLibrary = library;
  const std::string path = SettingsPath(first);
  fs.files[path] = original;
  LoadSettings(first, fs, codec);
  FUZZ_CHECK(!first.facts.SettingsUnreadable);
  FUZZ_CHECK(fs.files[path] == original);
  if (!SaveSettings(first, fs, codec)) Fail("a readable file could not be saved");
  const std::string saved = fs.files[path];

  App second;
  second.facts = first.facts;
  LoadSettings(second, fs, codec);
  if (!(second.settings == first.settings)) {
    if (std::getenv("FUZZ_DEBUG")) {
      // Both records written to empty files show which value moved.
      for (App* a : {&first, &second}) {
        for (const std::string* f : {&a->settings.MainSkin, &a->settings.CaptureSaveFolder,
                                     &a->settings.ClockFormatText}) {
          for (unsigned char ch : *f) std::fprintf(stderr, "%02x", ch);
          std::fprintf(stderr, "\n");
        }
        std::fprintf(stderr, "%zu exclusions\n----\n", a->settings.ExclusionEntries.size());
      }
    }
    Fail("settings changed through a save and a load");
  }
  FUZZ_CHECK(second.menu.TitleClockChecked == first.menu.TitleClockChecked);
  FUZZ_CHECK(SaveSettings(second, fs, codec));
  if (fs.files[path] != saved) Fail("a second save of the same settings wrote other bytes");
  return 0;
}
