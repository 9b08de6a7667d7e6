// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "seams/clock.h"

namespace orv {

// The two files a block is saved in: the text file, one sample per line,
// and the raw file, the block's items exactly as they arrived. Paths are
// UTF-8 with the platform's separators.

// The platform's path separator.
char pathSeparator();

// A data file's default name from the local time: ADC_20250307_09_05_41.
std::string fileNameStamp(const LocalTime& time);

// One line of the text file: the sample right-aligned in nine characters,
// then CR LF on every platform. No sample needs more than eight characters,
// so every line has the same size.
inline constexpr std::size_t kTextLineSize = 11;
std::string textLine(std::int32_t sample);

// The text file is handed to `write` in pieces of eight lines, the rest at
// the end. Stops at the first piece `write` refuses and returns false.
inline constexpr std::size_t kLinesPerWrite = 8;
bool writeTextLines(std::span<const std::int32_t> samples,
                    const std::function<bool(std::string_view)>& write);

// The raw file beside the text file at `textPath`: everything from the last
// "." of its file name on replaced by ".bin". Empty when the file name has
// no ".", also when one of its folders has.
std::optional<std::string> rawPathFor(const std::string& textPath);

// `path` up to and including its last separator; empty when it has none.
std::optional<std::string> folderOf(const std::string& path);

bool fileExists(const std::string& path);

// A whole file's bytes, or why they could not be read: `error` names the
// file and the cause. A file of more than `mostBytes` is refused, its
// reading stopped soon after that many bytes.
struct FileReading {
    std::optional<std::string> bytes;
    std::string error;
};
FileReading readWholeFile(const std::string& path, std::size_t mostBytes);

// A file created, or emptied if it exists, for binary writing. Each write
// reaches the system as one write. When anything fails, `error()` names
// the file and the cause.
class OutputFile {
public:
    explicit OutputFile(const std::string& path);

    bool isOpen() const { return stream_.is_open(); }
    bool write(std::string_view bytes);
    // Closes the file; false when what was written did not all reach it.
    bool close();
    const std::string& error() const { return error_; }

private:
    void fail(const char* what);

    std::string path_;
    std::string error_;
    std::ofstream stream_;
};

}  // namespace orv
