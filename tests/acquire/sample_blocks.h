// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "converter/samples.h"

namespace orv::test {

// Every value from `low` to `high`, in steps of one.
inline SampleList ramp(int low, int high) {
    SampleList samples;
    for (int v = low; v <= high; ++v) {
        samples.push_back(v);
    }
    return samples;
}

}  // namespace orv::test
