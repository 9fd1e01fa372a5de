#pragma once
// What a skin file looks like before it is applied: its info text and a
// preview image, read from the file alone (the skin in use is never touched).
#include <string>

#include "platform/imaging.h"
#include "platform/ports.h"
#include "platform/types.h"
#include "skin/skin.h"

namespace tomari {

// "Name Ver.Version\r\n(C)Copyright"; missing keys read as the file's name,
// "?" and "???".
std::string GetSkinInfo(const std::string& path, FileSystem& fs, TextCodec& codec);
// The info text's first line: the skin's entry in the chooser's list.
std::string SkinInfoFirstLine(const std::string& info);

// What a preview needs besides the file.
struct PreviewSources {
  FileSystem& fs;
  TextCodec& codec;
  ImageDecoder& decoder;
  bool hasImageLibrary = false;
  // Where relative per-button images are looked for first, as for the widget.
  std::string startupFolder;
};

// The Back image with each button's normal look drawn over it; a map skin
// shows its Back image as it is. `keyColor` receives BackColor (black when
// missing) unless the file does not exist. Empty when the skin is not usable.
SkinImage RenderSkinPreview(const std::string& path, SkinColor& keyColor,
                            const PreviewSources& sources);

// Where a `width` x `height` preview goes in an area of the given size:
// scaled down to fit keeping its proportions, never enlarged, centred.
Rect FitPreview(int width, int height, int areaWidth, int areaHeight);

}  // namespace tomari
