#pragma once
// The loaded skin: its images as pixel buffers, its buttons, and the operations
// that read a .tsk file, shape and compose the widget, and hit-test buttons.
// Nothing here touches a window: the widget is driven through WidgetWindow, and
// pictures and cursors come through ImageDecoder and CursorLoader.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/imaging.h"
#include "platform/ports.h"
#include "platform/types.h"
#include "platform/bitmap.h"

namespace tomari {

// A colour as skin files and the settings hold it: red in the low byte,
// 0x00BBGGRR. -1 is "no colour".
using SkinColor = std::int32_t;
inline constexpr SkinColor kNoColor = -1;

// The five looks of a button, also the order of the per-state images.
enum ButtonState : int {
  kStateBack = 0,         // normal
  kStateFloat = 1,        // pointer over it
  kStateDown = 2,         // pressed
  kStateUnavailable = 3,  // command cannot be used now
  kStateAvailable = 4,    // command switched on
};
inline constexpr int kButtonStateCount = 5;
inline constexpr int kMaxSkinButtons = 99;

// Size of the widget when no skin could be loaded.
inline constexpr int kNoSkinWidth = 150;
inline constexpr int kNoSkinHeight = 20;

// Images larger than this are treated as unreadable rather than allocated.
inline constexpr int kMaxImageSide = 16384;
inline constexpr std::int64_t kMaxImagePixels = 16 * 1024 * 1024;
// A skin is a small text file; anything larger is not a skin, and is refused
// before it is read.
inline constexpr std::uint64_t kMaxSkinFileBytes = 1024 * 1024;
// Image files are refused by size before a decoder reads them: no picture
// within kMaxImagePixels needs more.
inline constexpr std::uint64_t kMaxImageFileBytes = 80 * 1024 * 1024;
// Every pixel a skin load holds at once (decoded files and the looks cut from
// them). Without a total, 99 buttons of 64 MB looks each exhaust the address
// space of a 32-bit process long before any single image is too large.
inline constexpr std::int64_t kMaxSkinPixels = 32 * 1024 * 1024;

// A skin image is just its pixels; an empty bitmap is an empty image.
using SkinImage = Bitmap;

struct SkinButton {
  std::string Type;            // upper-cased command keyword
  std::string Value;           // as written
  CursorHandle Cursor = 0;     // 0 when the cursor could not be loaded
  bool CursorOwned = false;    // loaded from a file: destroyed with the skin
  Rect Rectangle;              // rectangle skins; all 0 in a map skin
  SkinColor Color = kNoColor;  // map skins
  std::string ToolTip;
  // Rectangle skins: the button's own looks, indexed by ButtonState.
  std::array<SkinImage, kButtonStateCount> Images;
};

struct SkinData {
  bool loaded = false;
  std::string folder;  // the skin file's folder, ending in a separator
  SkinColor BackColor = kNoColor;
  // The Skin section's images by ButtonState: Back, Float, Down, Unavailable,
  // Available. A rectangle skin keeps only Back once its buttons are cut.
  std::array<SkinImage, kButtonStateCount> Images;
  SkinImage Map;
  // Button01 is element 0, in file order; the first button wins wherever
  // buttons are searched.
  std::vector<SkinButton> Buttons;

  // The process's current directory when the program started, ending in a
  // backslash. Set once at start-up; FreeSkin keeps it. Relative per-button
  // image paths were written against it (see ResolveButtonImagePath).
  std::string StartupFolder;
  // The DPI of the monitor the widget is on, which ApplySkin scales for. Set
  // by the window side; FreeSkin keeps it.
  int Dpi = 96;

  const SkinImage& Back() const { return Images[kStateBack]; }
  bool IsMapSkin() const { return !Map.Empty(); }
};

// ---- The file format --------------------------------------------------------

// A colour value of a skin file: one of nine words in any case, "#RRGGBB"
// (characters after the seventh ignored), or `def` for anything else.
SkinColor ParseSkinColor(std::string_view value, SkinColor def);
// The pixel of a skin colour; only meaningful for colours other than -1.
Pixel SkinColorToPixel(SkinColor color);
// The system cursor a Cursor value names (IDC_ number), the empty value
// included; nullopt when the value names a cursor file.
std::optional<int> SystemCursorId(std::string_view value);
// ASCII upper-casing: Japanese keywords are compared as written.
std::string UpperAscii(std::string_view s);

// The folder of a file path, up to and including its last separator; "" when
// there is none.
std::string SkinFolderOf(const std::string& path);
// "C:\..", "C:/..", "\\server\.." or "//server/..".
bool IsAbsolutePath(std::string_view path);
// Where a per-button image named `value` is looked for. Absolute paths are used
// as written. A relative one was meant for the current directory the program
// starts in, which every file dialog moves since: it is looked up in the
// start-up folder first and, when no file is there, in the skin folder.
std::string ResolveButtonImagePath(const std::string& value, const std::string& startupFolder,
                                   const std::string& skinFolder, FileSystem& fs);

// ---- Images -----------------------------------------------------------------

// The PNG route: only with the imaging library, only for files that start with
// the PNG signature; the surface gets the size from the header's low 16 bits.
bool ReadPngImage(const std::string& path, bool hasImageLibrary, FileSystem& fs,
                  ImageDecoder& decoder, SkinImage& out);
// A missing, empty or undecodable file gives an empty image.
SkinImage LoadSkinImage(const std::string& path, bool hasImageLibrary, FileSystem& fs,
                        ImageDecoder& decoder);
// A width x height copy of `source` from (left, top); what lies outside the
// source is black. An empty source or size gives an empty image.
SkinImage CutSkinImage(const SkinImage& source, int left, int top, int width, int height);

// ---- Cursors ----------------------------------------------------------------

struct SkinCursor {
  CursorHandle handle = 0;
  bool owned = false;
};
// A system cursor by name, or the cursor file `value` in the skin folder.
SkinCursor GetSkinCursor(std::string_view value, const std::string& folder, CursorLoader& cursors);
// Shows `cursor`; a 0 handle is first replaced by the arrow, written back.
void SetSkinCursor(CursorHandle& cursor, CursorLoader& cursors);

// ---- Loading ----------------------------------------------------------------

// Where a skin is read from, and what the reading needs to know.
struct SkinSource {
  std::string file;           // the .tsk path
  std::string startupFolder;  // see ResolveButtonImagePath
  bool hasImageLibrary = false;
  std::int64_t pixelBudget = kMaxSkinPixels;
};

struct SkinPorts {
  FileSystem& files;
  TextCodec& codec;
  ImageDecoder& images;
  CursorLoader& cursors;
};

// Reads a skin into `out`, which must be empty (its StartupFolder aside).
// False, with `out` left empty, when the file is missing, unreadable, larger
// than kMaxSkinFileBytes or needs more than kMaxSkinPixels: it is not a skin.
// Exceptions (out of memory, a throwing port) pass through, and `out` is left
// empty and its cursors destroyed.
bool LoadSkin(const SkinSource& source, SkinData& out, const SkinPorts& ports);
// Releases every image and every cursor loaded from a file (system cursors are
// shared and stay); keeps StartupFolder.
void FreeSkin(SkinData& skin, CursorLoader& cursors);

// ---- Shape, face and hit-testing ---------------------------------------------

// The outline of `back`: with key -1 the full rectangle, otherwise the runs of
// pixels that are not the key colour, row by row, exact match.
WidgetShape ExtractShape(const SkinImage& back, SkinColor key);
// Gives the widget the outline of `back`.
void SetRegionFromImage(WidgetWindow& widget, const SkinImage& back, SkinColor key);
// Where `mask` has the key colour, `dest` takes the pixel of `fill`; every
// other pixel of `dest` stays. Only the area of `fill` is looked at.
void DrawKeyedImage(Bitmap& dest, const SkinImage& fill, const SkinImage& mask, SkinColor key);
// Draws button `index` (0-based) in `state` onto `face`; a state outside 0-4
// draws nothing.
void DrawButton(Bitmap& face, const SkinData& skin, std::size_t index, int state);
// The Back image with button i drawn in states[i] (a negative state skips the
// button: the Back image already shows it). Empty when no skin is loaded.
Bitmap ComposeFace(const SkinData& skin, std::span<const int> states);
// Whether the widget point (x, y) lies on the button.
bool HitTestButton(const SkinData& skin, const SkinButton& button, int x, int y);

}  // namespace tomari
