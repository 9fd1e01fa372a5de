#include "win32/ports/win_capture.h"

#include <cstring>
#include <new>
#include <string>

#include "imaging/file_io.h"
#include "win32/ports/dib.h"
#include "win32/ports/gdi_handles.h"
#include "win32/ports/image_library.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_windows.h"

namespace tomari {

namespace {

class WindowSurface {
 public:
  WindowSurface(HWND window, bool client)
      : window_(window), dc_(client ? GetDC(window) : GetWindowDC(window)) {}
  ~WindowSurface() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowSurface(const WindowSurface&) = delete;
  WindowSurface& operator=(const WindowSurface&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

class ScreenSurface : public WindowSurface {
 public:
  ScreenSurface() : WindowSurface(nullptr, true) {}
};

// The picture in a 32-bit DIB section selected into a memory surface, the form
// in which the imaging library reads it.
class PictureSurface {
 public:
  explicit PictureSurface(const Bitmap& picture)
      : screen_(), dib_(screen_.Get(), picture.width, picture.height), dc_(screen_.Get()) {
    if (!dib_ || !dc_) return;
    std::memcpy(const_cast<DWORD*>(dib_.Bits()), picture.pixels.data(),
                picture.pixels.size() * sizeof(Pixel));
    ready_ = dc_.Select(dib_.Get());
  }
  HDC Get() const { return ready_ ? dc_.Get() : nullptr; }

 private:
  ScreenSurface screen_;
  gdi::DibSection dib_;
  gdi::MemoryDC dc_;
  bool ready_ = false;
};

bool Consistent(const Bitmap& picture) {
  return !picture.Empty() && picture.pixels.size() == static_cast<size_t>(picture.width) *
                                                          static_cast<size_t>(picture.height);
}

unsigned long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

constexpr const char* kFolderThere = "同じ名前のフォルダーがあります。";
constexpr const char* kReadOnly = "読み取り専用のファイルです。";
constexpr const char* kNoLibrary = "画像ライブラリ TransG32.dll が読み込まれていません。";
constexpr const char* kLibraryFailed = "TransG32.dll が画像ファイルを書けませんでした。";
constexpr const char* kOutOfMemory = "メモリが足りません。";

FileWriteResult Reported(fileio::WriteError error, DWORD code) {
  switch (error) {
    case fileio::WriteError::None:
      return {true, {}};
    case fileio::WriteError::Folder:
      return {false, kFolderThere};
    case fileio::WriteError::ReadOnly:
      return {false, kReadOnly};
    case fileio::WriteError::System:
    case fileio::WriteError::Producer:
      break;
  }
  return {false, SystemErrorText(code)};
}

}  // namespace

std::string SystemErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
    text.pop_back();
  std::string result = text.empty() ? std::string("エラー") : WideToUtf8(text);
  result.append(" (").append(std::to_string(code)).append(")");
  return result;
}

Bitmap Win32Capture::TakePicture(WindowHandle window, bool inside) {
  try {
    HWND hwnd = ToHwnd(window);
    if (!hwnd || !::IsWindow(hwnd)) return {};
    RECT r{};
    if (!(inside ? GetClientRect(hwnd, &r) : GetWindowRect(hwnd, &r))) return {};
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        static_cast<long long>(width) * height > kMaxPixels)
      return {};

    if (hidden_) {
      // What the widget covered is painted by the window's own thread; two
      // round trips let it get through that WM_PAINT. A hung program is not
      // waited for: its stale pixels are all there is.
      DWORD_PTR ignored = 0;
      for (int i = 0; i < 2; ++i)
        SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kRepaintWaitMs, &ignored);
    }

    WindowSurface source(hwnd, inside);
    if (!source.Get()) return {};
    gdi::DibSection dib(source.Get(), width, height);
    gdi::MemoryDC memory(source.Get());
    if (!dib || !memory || !memory.Select(dib.Get())) return {};
    if (!BitBlt(memory.Get(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY)) return {};
    GdiFlush();

    Bitmap picture(width, height);
    const DWORD* bits = dib.Bits();
    for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = bits[i] & 0xFFFFFF;
    return picture;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

void Win32Capture::HideWidget() {
  hidden_ = false;
  if (!widget_ || !::IsWindow(widget_) || !IsWindowVisible(widget_)) return;
  ShowWindow(widget_, SW_HIDE);
  hidden_ = true;
}

void Win32Capture::ShowWidget() {
  if (!hidden_) return;
  hidden_ = false;
  // Back in its place in the z-order, without taking the keyboard.
  if (::IsWindow(widget_)) ShowWindow(widget_, SW_SHOWNA);
}

bool Win32Capture::CopyToClipboard(const Bitmap& picture, WindowHandle owner) {
  if (!Consistent(picture)) return false;
  ScreenSurface screen;
  gdi::Object bitmap(CreateCompatibleBitmap(screen.Get(), picture.width, picture.height));
  if (!bitmap) return false;
  BITMAPINFO info = TopDownDib32(picture.width, picture.height);
  if (SetDIBits(screen.Get(), static_cast<HBITMAP>(bitmap.Get()), 0,
                static_cast<UINT>(picture.height), picture.pixels.data(), &info,
                DIB_RGB_COLORS) != picture.height)
    return false;

  // Another program may hold the clipboard for a moment; a short wait covers
  // that without freezing us behind one that never lets go.
  const DWORD start = GetTickCount();
  while (!OpenClipboard(ToHwnd(owner))) {
    if (GetTickCount() - start >= kClipboardWaitMs) return false;
    Sleep(20);
  }
  bool placed = false;
  if (EmptyClipboard() && SetClipboardData(CF_BITMAP, bitmap.Get())) {
    bitmap.Release();  // the clipboard owns it now
    placed = true;
  }
  CloseClipboard();
  return placed;
}

FileWriteResult Win32Capture::WriteFile(const std::string& path, const std::string& bytes) {
  const fileio::WriteOutcome written = fileio::ReplaceFileWithBytes(Utf8ToWide(path), bytes);
  return Reported(written.error, written.code);
}

template <class Save>
FileWriteResult Win32Capture::WriteThroughLibrary(const Bitmap& picture, const std::string& path,
                                                  Save save) {
  if (!library_ || !library_->Loaded()) return {false, kNoLibrary};
  if (!Consistent(picture)) return {false, kLibraryFailed};
  const std::wstring target = Utf8ToWide(path);
  if (target.empty()) return Reported(fileio::WriteError::System, ERROR_INVALID_NAME);
  try {
    PictureSurface surface(picture);
    if (!surface.Get()) return {false, kOutOfMemory};
    if (library_->HasWideEntryPoints()) {
      // Our own library puts a new file in place only once it is complete.
      if (const fileio::WriteError refused = fileio::CheckReplaceable(target);
          refused != fileio::WriteError::None)
        return Reported(refused, 0);
      if (!save(surface.Get(), path)) return {false, kLibraryFailed};
      return {true, {}};
    }
    // An older library writes straight into the file it is given and does not
    // say whether it managed: it gets a temporary file, which must not be empty.
    const fileio::WriteOutcome written = fileio::ReplaceFile(
        target, [&](const std::wstring& temporary, fileio::FileHandle& file) {
          file.Close();  // the library opens the file itself
          return save(surface.Get(), WideToUtf8(temporary)) && FileSize(temporary) > 0;
        });
    if (written.error == fileio::WriteError::Producer) return {false, kLibraryFailed};
    return Reported(written.error, written.code);
  } catch (const std::bad_alloc&) {
    return {false, kOutOfMemory};
  }
}

FileWriteResult Win32Capture::WriteJpeg(const Bitmap& picture, const std::string& path,
                                        std::uint8_t quality, bool progressive) {
  return WriteThroughLibrary(picture, path, [&](HDC surface, const std::string& file) {
    return library_->SaveJpeg(surface, picture.width, picture.height, file, quality, progressive);
  });
}

FileWriteResult Win32Capture::WritePng(const Bitmap& picture, const std::string& path,
                                       std::uint8_t choice) {
  return WriteThroughLibrary(picture, path, [&](HDC surface, const std::string& file) {
    return library_->SavePng(surface, picture.width, picture.height, file, choice);
  });
}

}  // namespace tomari
