// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/data_files.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

namespace orv {

namespace {

// UTF-8 text as a path, so that Windows opens the file its wide name names.
std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

char pathSeparator() {
    return static_cast<char>(std::filesystem::path::preferred_separator);
}

std::string fileNameStamp(const LocalTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "ADC_%d%02d%02d_%02d_%02d_%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

std::string textLine(std::int32_t sample) {
    char text[kTextLineSize + 1];
    std::snprintf(text, sizeof text, "%9d\r\n", static_cast<int>(sample));
    return text;
}

bool writeTextLines(std::span<const std::int32_t> samples,
                    const std::function<bool(std::string_view)>& write) {
    std::string piece;
    piece.reserve(kLinesPerWrite * kTextLineSize);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        piece += textLine(samples[i]);
        const bool last = i + 1 == samples.size();
        if ((i + 1) % kLinesPerWrite == 0 || last) {
            if (!write(piece)) {
                return false;
            }
            piece.clear();
        }
    }
    return true;
}

std::optional<std::string> rawPathFor(const std::string& textPath) {
    const std::size_t separator = textPath.find_last_of(pathSeparator());
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t dot = textPath.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) {
        return std::nullopt;
    }
    return textPath.substr(0, dot) + ".bin";
}

std::optional<std::string> folderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of(pathSeparator());
    if (separator == std::string::npos) {
        return std::nullopt;
    }
    return path.substr(0, separator + 1);
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(pathOf(path), error);
}

FileReading readWholeFile(const std::string& path, std::size_t mostBytes) {
    const auto failure = [&](const std::string& cause) {
        return FileReading{std::nullopt, "Cannot read the file \"" + path + "\": " + cause + "."};
    };
    const auto systemCause = [] {
        return errno != 0 ? std::generic_category().message(errno) : std::string("unknown error");
    };
    errno = 0;
    std::ifstream stream(pathOf(path), std::ios::binary);
    if (!stream.is_open()) {
        return failure(systemCause());
    }
    std::string bytes;
    std::array<char, 65536> piece;
    while (stream) {
        stream.read(piece.data(), piece.size());
        bytes.append(piece.data(), static_cast<std::size_t>(stream.gcount()));
        if (bytes.size() > mostBytes) {
            return failure("it is larger than " + std::to_string(mostBytes) + " bytes");
        }
    }
    if (stream.bad()) {
        return failure(systemCause());
    }
    return {std::move(bytes), {}};
}

// Without a buffer of its own the stream hands every write to the system
// as it comes.
OutputFile::OutputFile(const std::string& path) : path_(path) {
    stream_.rdbuf()->pubsetbuf(nullptr, 0);
    errno = 0;
    stream_.open(pathOf(path), std::ios::binary | std::ios::trunc);
    if (!stream_.is_open()) {
        fail("Cannot create");
    }
}

bool OutputFile::write(std::string_view bytes) {
    if (!stream_.is_open()) {
        return false;
    }
    errno = 0;
    if (!stream_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        fail("Cannot write");
        stream_.close();
        return false;
    }
    return true;
}

bool OutputFile::close() {
    if (!stream_.is_open()) {
        return false;
    }
    errno = 0;
    stream_.close();
    if (stream_.fail()) {
        fail("Cannot write");
        return false;
    }
    return true;
}

void OutputFile::fail(const char* what) {
    const std::string cause =
        errno != 0 ? std::generic_category().message(errno) : std::string("unknown error");
    error_ = std::string(what) + " the file \"" + path_ + "\": " + cause + ".";
}

}  // namespace orv
