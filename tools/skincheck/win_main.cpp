// skincheck.exe: the program's own Win32 ports (files, the ANSI code page, WIC
// for every picture format the program reads, user32 for cursor files).
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "skin_check.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_codec.h"
#include "win32/ports/win_cursors.h"
#include "win32/ports/win_files.h"
#include "win32/ports/win_imaging.h"

int wmain(int argc, wchar_t** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  tomari::Win32FileSystem files;
  tomari::Win32TextCodec codec;
  tomari::Win32ImageDecoder decoder;
  tomari::Win32CursorLoader cursors;
  skincheck::CheckPorts ports{files, codec, decoder, cursors, {}};
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(tomari::WideToUtf8(argv[i]));
  wchar_t current[MAX_PATH * 2] = L"";
  GetCurrentDirectoryW(MAX_PATH * 2, current);
  std::string startup = tomari::WideToUtf8(current);
  if (startup.empty() || startup.back() != '\\') startup += '\\';
  std::string out;
  const int code = skincheck::RunSkinCheck(args, startup, ports, out);
  // UTF-8 to a console, as bytes to a file or pipe.
  HANDLE stream = GetStdHandle(code == 2 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(stream, &mode)) {
    const std::wstring wide = tomari::Utf8ToWide(out);
    DWORD written = 0;
    WriteConsoleW(stream, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    DWORD written = 0;
    WriteFile(stream, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
  }
  CoUninitialize();
  return code;
}
