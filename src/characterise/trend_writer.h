// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "capture/data_files.h"
#include "characterise/trend.h"

namespace orv::characterise {

// A trend file being written: created with its header, then one row at a
// time, each handed to the system before append returns (an OutputFile
// keeps no buffer of its own), so that a crash or an unplugged board loses
// at most the block in flight.
class TrendWriter {
public:
    // Creates `path` (replacing a file of that name) and writes `header`.
    // False after a failure, with error() saying why.
    bool create(const std::string& path, std::string_view header);
    // Appends one row; false when it could not be written whole (a full
    // disk), with error() saying why: the rows written before stay.
    bool append(const TrendRow& row);
    // Closes the file; false when that failed.
    bool close();

    bool isOpen() const { return file_ && file_->isOpen(); }
    const std::string& path() const { return path_; }
    std::size_t rowsWritten() const { return rows_; }
    // "Cannot write the file \"/tmp/t.csv\": No space left on device."
    const std::string& error() const { return error_; }

private:
    bool put(std::string_view text);

    std::optional<OutputFile> file_;
    std::string path_;
    std::string error_;
    std::size_t rows_ = 0;
};

}  // namespace orv::characterise
