// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#ifdef __linux__
#include <sys/resource.h>

#include <csignal>
#endif

namespace orv::test {

// While this lives, files this process writes may not grow beyond `bytes`,
// and the signal that would end the process for it is ignored: a write
// beyond the limit fails as on a full disk (EFBIG, "File too large"). Does
// nothing where that cannot be had.
class FileSizeLimit {
public:
    static constexpr bool kAvailable =
#ifdef __linux__
        true;
#else
        false;
#endif

#ifdef __linux__
    explicit FileSizeLimit(std::uint64_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
#else
    explicit FileSizeLimit(std::uint64_t) {}
#endif
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

#ifdef __linux__
private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
#endif
};

}  // namespace orv::test
