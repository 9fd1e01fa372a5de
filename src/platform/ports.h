#pragma once
// The narrow interfaces through which the core reaches anything outside the
// process. src/win32 implements them with the W entry points; tests/support has
// in-memory fakes. All strings are UTF-8; paths use backslashes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/capture_system.h"
#include "platform/directory.h"
#include "platform/imaging.h"
#include "platform/locale.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "platform/text_grab.h"
#include "platform/types.h"

namespace tomari {

// Other programs' windows (and, for reading, our own).
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual WindowHandle Foreground() = 0;
  virtual bool IsWindow(WindowHandle h) = 0;
  // True when the window's thread has stopped answering messages.
  virtual bool IsHung(WindowHandle h) = 0;
  // Outer rectangle (frame included). False, and `r` untouched, on failure.
  virtual bool GetRect(WindowHandle h, Rect& r) = 0;
  virtual std::uint32_t GetExStyle(WindowHandle h) = 0;
  virtual bool SetExStyle(WindowHandle h, std::uint32_t exStyle) = 0;
  // Read without sending a message to the window, so a hung window cannot block us.
  virtual std::string GetTitle(WindowHandle h) = 0;
  // Written with a timeout that gives up on a hung window.
  virtual bool SetTitle(WindowHandle h, const std::string& title) = 0;
  virtual std::string ClassNameOf(WindowHandle h) = 0;
  // The id of the process that owns the window; 0 when unknown. With the class
  // name it tells a window from a later one that was given the same handle.
  virtual std::uint32_t ProcessIdOf(WindowHandle h) = 0;
  // The parent, or for a top-level window its owner; 0 when none.
  virtual WindowHandle GetParent(WindowHandle h) = 0;
  virtual LayeredAttributes GetLayered(WindowHandle h) = 0;
  virtual bool SetLayered(WindowHandle h, std::uint32_t colorKey, std::uint8_t alpha,
                          std::uint32_t flags) = 0;
  // Adds WS_EX_LAYERED and then sets these attributes. When the style change is
  // given up on (a slow window), the attributes still follow it whenever it
  // lands: a window is never left layered without attributes (drawing nothing).
  virtual bool MakeLayered(WindowHandle h, std::uint32_t colorKey, std::uint8_t alpha,
                           std::uint32_t flags) = 0;
  // Waits at most `ms` for the window's thread to answer; true when it did.
  virtual bool WaitForAnswer(WindowHandle h, unsigned ms) = 0;
  // Joins or leaves the top-most band without moving, sizing or activating;
  // never waits for the window's thread.
  virtual bool SetTopMost(WindowHandle h, bool topMost) = 0;
  // Moves without sizing, activating or changing the z-order; never waits.
  virtual bool MoveTo(WindowHandle h, int x, int y) = 0;
  // Whether the system offers per-window opacity (SetLayeredWindowAttributes).
  virtual bool HasLayeredWindowsApi() = 0;
};

// Monitors and the pointer.
class Screen {
 public:
  virtual ~Screen() = default;
  // Whole rectangles of all monitors (not work areas), primary first.
  virtual std::vector<Rect> Monitors() = 0;
  virtual Point CursorPos() = 0;
};

// The widget's outline: the whole rectangle, or the union of these rectangles
// (runs of opaque pixels, widget coordinates). An empty run list is an empty shape.
struct WidgetShape {
  bool fullRectangle = true;
  std::vector<Rect> runs;
};

// Our own widget window.
class WidgetWindow {
 public:
  virtual ~WidgetWindow() = default;
  virtual WindowHandle Handle() = 0;
  virtual Rect GetRect() = 0;
  // Moves without sizing or activating. With `topMost` the widget is also put
  // at the top of the top-most band; otherwise its z-order is left alone.
  virtual void MoveTo(int x, int y, bool topMost) = 0;
  // Joins (true) or leaves (false) the top-most band, without moving or activating.
  virtual void SetTopMost(bool topMost) = 0;
  // Asks for the widget's face to be drawn again.
  virtual void Redraw() = 0;
  // Skin presentation.
  virtual void SetSize(int width, int height) = 0;
  virtual void SetShape(const WidgetShape& shape) = 0;
  // Shows `face` (widget-sized) until the next call; an empty bitmap shows the label.
  virtual void Present(const Bitmap& face) = 0;
  // The text shown when there is no skin face.
  virtual void SetLabel(const std::string& text) = 0;
  // The tooltip over the widget; "" shows none.
  virtual void SetToolTip(const std::string& text) = 0;
  // The cursor over the widget; 0 is the arrow.
  virtual void SetWidgetCursor(CursorHandle cursor) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Sees hidden and system files too.
  virtual bool Exists(const std::string& path) = 0;
  virtual bool ReadAll(const std::string& path, std::string& bytes) = 0;
  // The first `limit` bytes (fewer when the file is shorter) and the file's
  // whole size, without reading the rest: lets a caller refuse a file that is
  // too large before any of it is held in memory.
  virtual bool ReadHead(const std::string& path, std::size_t limit, std::string& head,
                        std::uint64_t& size) = 0;
  // Writes a temporary file beside `path` and replaces `path` with it only when
  // the whole content was written: the old file survives any failure.
  virtual bool WriteAtomic(const std::string& path, const std::string& bytes) = 0;
  // Whether WriteAtomic(path) could succeed now: the folder takes a new file
  // and an existing `path` is not read-only. Leaves nothing behind.
  virtual bool CanReplace(const std::string& path) = 0;
  // Creates the folder (and any missing parents); true when it exists afterwards.
  virtual bool MakeFolder(const std::string& path) = 0;
  // Deletes a file; true when it is gone afterwards (also when it never was).
  virtual bool Remove(const std::string& path) = 0;
  // The user's (roaming) application-data folder, ending in "\"; "" when unknown.
  virtual std::string AppDataFolder() = 0;
};

// A file system that only reads (the skin checker, benchmarks): writing,
// creating and removing refuse, and there is no application-data folder.
class ReadOnlyFileSystem : public FileSystem {
 public:
  bool WriteAtomic(const std::string&, const std::string&) override { return false; }
  bool CanReplace(const std::string&) override { return false; }
  bool MakeFolder(const std::string&) override { return false; }
  bool Remove(const std::string&) override { return false; }
  std::string AppDataFolder() override { return {}; }
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime UtcNow() = 0;
  virtual DateTime LocalNow() = 0;
};

// The system's ANSI code page (932 on a Japanese system).
class TextCodec {
 public:
  virtual ~TextCodec() = default;
  virtual unsigned AnsiCodePage() = 0;
  // Converts UTF-8 to ANSI bytes. Returns false when some character has no
  // ANSI form (the output then holds replacements and must not be stored).
  virtual bool ToAnsi(const std::string& utf8, std::string& ansi) = 0;
  virtual std::string FromAnsi(const std::string& ansi) = 0;
  // True for the first byte of a two-byte ANSI character.
  virtual bool IsLeadByte(unsigned char byte) = 0;
};

// Everything the core may call, handed around by reference.
struct Ports {
  WindowSystem& windows;
  Screen& screen;
  WidgetWindow& widget;
  FileSystem& files;
  Clock& clock;
  TextCodec& codec;
  ImageDecoder& images;
  CursorLoader& cursors;
  Locale& locale;
  Shell& shell;
  Prompts& prompts;
  CaptureSystem& capture;
  WindowTexts& texts;
  TextClipboard& textClipboard;
  Directory& directory;
};

}  // namespace tomari
