// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterise/trend_writer.h"

#include <cerrno>
#include <system_error>

namespace orv::characterise {

namespace {

std::string failure(const char* what, const std::string& path) {
    const std::string cause =
        errno != 0 ? std::generic_category().message(errno) : std::string("unknown error");
    return std::string(what) + " the file \"" + path + "\": " + cause + ".";
}

}  // namespace

TrendWriter::~TrendWriter() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool TrendWriter::create(const std::string& path, std::string_view header) {
    close();
    path_ = path;
    rows_ = 0;
    error_.clear();
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error_ = failure("Cannot create", path_);
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

// Written and flushed to the system, or the file is closed with the cause:
// after a failure nothing more is written, so the rows before stay whole.
bool TrendWriter::put(std::string_view text) {
    if (file_ == nullptr) {
        if (error_.empty()) {
            errno = EBADF;
            error_ = failure("Cannot write", path_);
        }
        return false;
    }
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0) {
        error_ = failure("Cannot write", path_);
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    return true;
}

bool TrendWriter::close() {
    if (file_ == nullptr) {
        return error_.empty();
    }
    errno = 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) {
        error_ = failure("Cannot write", path_);
    }
    return closed;
}

}  // namespace orv::characterise
