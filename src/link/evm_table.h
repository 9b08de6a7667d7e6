// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

namespace orv {

// One supported EVM type: the selector shows `name`, and `type` travels in
// byte 1 of every command frame. The table ends with a mark whose `valid` is -1.
struct EvmTypeEntry {
    int valid;
    int type;
    const char* name;
};

inline constexpr EvmTypeEntry EvmTable[] = {
    {1, 1, "VXR5307"},
    {-1, 0, ""},
};

// The first entry with this type code before the end mark, or nullptr.
inline const EvmTypeEntry* findEvmType(int type) {
    for (const EvmTypeEntry& entry : EvmTable) {
        if (entry.valid == -1) {
            break;
        }
        if (entry.type == type) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace orv
