// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterise/trend_writer.h"

namespace orv::characterise {

bool TrendWriter::create(const std::string& path, std::string_view header) {
    close();
    path_ = path;
    rows_ = 0;
    error_.clear();
    file_.emplace(path);
    if (!file_->isOpen()) {
        error_ = file_->error();
        return false;
    }
    return put(header);
}

bool TrendWriter::append(const TrendRow& row) {
    if (!put(trendRowText(row))) {
        return false;
    }
    ++rows_;
    return true;
}

// After a failure the file is closed and nothing more is written, so the
// rows before stay whole.
bool TrendWriter::put(std::string_view text) {
    if (!isOpen()) {
        if (error_.empty()) {
            error_ = "Cannot write the file \"" + path_ + "\": it is not open.";
        }
        return false;
    }
    if (!file_->write(text)) {
        error_ = file_->error();
        file_.reset();
        return false;
    }
    return true;
}

bool TrendWriter::close() {
    if (!isOpen()) {
        file_.reset();
        return error_.empty();
    }
    const bool closed = file_->close();
    if (!closed) {
        error_ = file_->error();
    }
    file_.reset();
    return closed;
}

}  // namespace orv::characterise
