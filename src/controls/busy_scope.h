// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace orv {

// Holds a busy flag for one operation; `acquired()` is false when another
// operation held it already, and then the flag is left alone. The windows
// that talk to the EVM share one flag, so that none starts while another
// runs, also from a nested event loop.
class BusyScope {
public:
    explicit BusyScope(int& flag) : flag_(flag), acquired_(flag == 0) {
        if (acquired_) {
            flag_ = 1;
        }
    }
    ~BusyScope() {
        if (acquired_) {
            flag_ = 0;
        }
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    bool acquired() const { return acquired_; }

private:
    int& flag_;
    bool acquired_;
};

}  // namespace orv
