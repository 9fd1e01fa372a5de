#pragma once
// Profile (INI) files as the Windows profile functions read and write them,
// for Setting.ini and skin files alike.
#include <cstdint>
#include <string>

#include "platform/ports.h"

namespace tomari {

// Values read from skin files are cut to this many bytes in the file's
// encoding, as the profile functions did; our own Setting.ini keys are not.
inline constexpr std::size_t kIniValueLimit = 127;

// One profile file held in memory: read once, queried, changed in place and
// written back whole. Text is UTF-8 inside; the file's encoding (ANSI code page,
// UTF-8 with BOM, UTF-16 LE with BOM) is kept.
class IniFile;

// Single-key conveniences on a file path, each reading (and writing) the whole file.
// `limit` 0 means no cut.
std::int32_t ReadIniInt(FileSystem& fs, TextCodec& codec, const std::string& file,
                        const std::string& section, const std::string& key,
                        std::int32_t def);
std::string ReadIniString(FileSystem& fs, TextCodec& codec, const std::string& file,
                          const std::string& section, const std::string& key,
                          const std::string& def, std::size_t limit = kIniValueLimit);
bool WriteIniString(FileSystem& fs, TextCodec& codec, const std::string& file,
                    const std::string& section, const std::string& key,
                    const std::string& value);

}  // namespace tomari
