// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "seams/prompts.h"

namespace orv {

class Link;

// Returned when the window asked the collection to end before its last item
// (ERROR_OPERATION_ABORTED).
inline constexpr int kCollectionStopped = 995;

// What a collection shows and lets run while it waits for items.
class CollectionView {
public:
    virtual ~CollectionView() = default;

    // The progress bar's position, 0 to 100; 101 is beyond the range and
    // leaves the bar full.
    virtual void showProgress(int position) = 0;

    // Runs once after every item, so that the user interface stays alive.
    // False when the collection must end now: its window is closing or gone,
    // and neither the view nor the block may be touched again.
    virtual bool keepGoing() = 0;
};

// Sends the data command for `count` items (1 to 65535), reads them one by
// one into `block` (count x 4 bytes), then checks every item's check byte.
// Returns the link status: 0 when every item arrived and checked out, 13 at
// the first bad check byte (the only one reported), the failing read's
// status, or kCollectionStopped without a word when the view stopped it.
int CollectSamples(Link& link, Prompts& prompts, PromptOwner owner, std::span<std::uint8_t> block,
                   int count, CollectionView& view);

}  // namespace orv
