#pragma once
// What a skin author should know about a .tsk file before the widget shows it:
// the file is read with the program's own skin reader, and what the reader
// would silently pass over (an image that does not load, a button nobody can
// hit, a colour that matches nothing, a value cut short) is reported with the
// line it comes from.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/imaging.h"
#include "platform/ports.h"

namespace skincheck {

struct Problem {
  std::size_t line = 0;  // 1-based; 0 for the file as a whole
  std::string kind;      // a stable word, for --json readers
  std::string message;   // Japanese and English are both fine; UTF-8
};

struct CheckPorts {
  tomari::FileSystem& files;
  tomari::TextCodec& codec;
  tomari::ImageDecoder& images;
  tomari::CursorLoader& cursors;
  // Images that this build cannot decode (not the file's fault); may be empty.
  std::function<bool(const std::string& path)> undecodableHere;
};

// `tsk` and `startupFolder` (where relative per-button images are looked for
// first, as the program does) use backslashes or slashes alike.
std::vector<Problem> CheckSkin(const std::string& tsk, const std::string& startupFolder,
                               const CheckPorts& ports);

std::string FormatText(const std::string& tsk, const std::vector<Problem>& problems);
std::string FormatJson(const std::string& tsk, const std::vector<Problem>& problems);

// The command line: skincheck [--json] FILE.tsk...; 0 when every file is clean,
// 1 when any has a problem, 2 on a usage error. `out` gets the report.
int RunSkinCheck(const std::vector<std::string>& args, const std::string& startupFolder,
                 const CheckPorts& ports, std::string& out);

}  // namespace skincheck
