#include "win32/ports/win_capture.h"
#include "win32/ports/dib.h"

#include <atomic>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>

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

class FileHandle {
 public:
  explicit FileHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE Get() const { return h_; }
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
  void Reset(HANDLE h) {
    Close();
    h_ = h;
  }
  bool Close() {
    if (!Valid()) return true;
    const bool ok = CloseHandle(h_) != FALSE;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

// A temporary file that is deleted unless it was moved into place.
class TemporaryFile {
 public:
  ~TemporaryFile() {
    if (!path_.empty()) DeleteFileW(path_.c_str());
  }
  // Creates an empty file with a fresh name in the folder of `target`. On
  // failure GetLastError() tells why.
  bool Create(const std::wstring& target, DWORD attributes, FileHandle& file) {
    static std::atomic<unsigned> counter{0};
    const size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
      wchar_t name[48];
      std::swprintf(name, 48, L"~tomari%lx-%x.tmp", GetCurrentProcessId(), counter.fetch_add(1));
      const std::wstring candidate = folder + name;
      HANDLE h = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes,
                             nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        file.Reset(h);
        path_ = candidate;
        return true;
      }
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return false;
  }
  const std::wstring& Path() const { return path_; }
  // The file is in place: nothing to delete any more.
  void Keep() { path_.clear(); }

 private:
  std::wstring path_;
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

constexpr const char* kNoLibrary = "画像ライブラリ TransG32.dll が読み込まれていません。";
constexpr const char* kLibraryFailed = "TransG32.dll が画像ファイルを書けませんでした。";
constexpr const char* kOutOfMemory = "メモリが足りません。";

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

template <class Write>
FileWriteResult Win32Capture::WriteBeside(const std::string& path, Write write) {
  const std::wstring target = Utf8ToWide(path);
  if (target.empty()) return {false, SystemErrorText(ERROR_INVALID_NAME)};
  const DWORD old = GetFileAttributesW(target.c_str());
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;
  if (old != INVALID_FILE_ATTRIBUTES) {
    if (old & FILE_ATTRIBUTE_DIRECTORY) return {false, "同じ名前のフォルダーがあります。"};
    if (old & FILE_ATTRIBUTE_READONLY) return {false, "読み取り専用のファイルです。"};
    // A hidden or system file stays one.
    if (old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
      attributes = old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  }
  TemporaryFile temporary;
  FileHandle file;
  if (!temporary.Create(target, attributes, file)) return {false, SystemErrorText(GetLastError())};
  FileWriteResult written = write(temporary.Path(), file);
  if (!file.Close() && written.ok) written = {false, SystemErrorText(GetLastError())};
  if (!written.ok) return written;
  if (!MoveFileExW(temporary.Path().c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return {false, SystemErrorText(GetLastError())};
  temporary.Keep();
  return {true, {}};
}

FileWriteResult Win32Capture::WriteFile(const std::string& path, const std::string& bytes) {
  return WriteBeside(path, [&](const std::wstring&, FileHandle& file) -> FileWriteResult {
    size_t done = 0;
    while (done < bytes.size()) {
      const DWORD chunk =
          static_cast<DWORD>(bytes.size() - done < (4u << 20) ? bytes.size() - done : (4u << 20));
      DWORD n = 0;
      if (!::WriteFile(file.Get(), bytes.data() + done, chunk, &n, nullptr) || n == 0)
        return {false, SystemErrorText(GetLastError())};
      done += n;
    }
    if (!FlushFileBuffers(file.Get())) return {false, SystemErrorText(GetLastError())};
    return {true, {}};
  });
}

FileWriteResult Win32Capture::WriteJpeg(const Bitmap& picture, const std::string& path,
                                        std::uint8_t quality, bool progressive) {
  if (!library_ || !library_->Loaded()) return {false, kNoLibrary};
  if (!Consistent(picture)) return {false, kLibraryFailed};
  return WriteBeside(path, [&](const std::wstring& temporary, FileHandle& file) {
    // The library opens the file itself; ours only kept the name.
    file.Close();
    try {
      PictureSurface surface(picture);
      if (!surface.Get()) return FileWriteResult{false, kOutOfMemory};
      if (!library_->SaveJpeg(surface.Get(), picture.width, picture.height, WideToUtf8(temporary),
                              quality, progressive) ||
          FileSize(temporary) == 0)
        return FileWriteResult{false, kLibraryFailed};
      return FileWriteResult{true, {}};
    } catch (const std::bad_alloc&) {
      return FileWriteResult{false, kOutOfMemory};
    }
  });
}

FileWriteResult Win32Capture::WritePng(const Bitmap& picture, const std::string& path,
                                       std::uint8_t choice) {
  if (!library_ || !library_->Loaded()) return {false, kNoLibrary};
  if (!Consistent(picture)) return {false, kLibraryFailed};
  return WriteBeside(path, [&](const std::wstring& temporary, FileHandle& file) {
    file.Close();
    try {
      PictureSurface surface(picture);
      if (!surface.Get()) return FileWriteResult{false, kOutOfMemory};
      if (!library_->SavePng(surface.Get(), picture.width, picture.height, WideToUtf8(temporary),
                             choice) ||
          FileSize(temporary) == 0)
        return FileWriteResult{false, kLibraryFailed};
      return FileWriteResult{true, {}};
    } catch (const std::bad_alloc&) {
      return FileWriteResult{false, kOutOfMemory};
    }
  });
}

}  // namespace tomari
