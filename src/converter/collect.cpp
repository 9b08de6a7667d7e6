// SPDX-License-Identifier: GPL-3.0-or-later
#include "converter/collect.h"

#include "converter/samples.h"
#include "link/commands.h"
#include "link/link.h"

namespace orv {

namespace {

constexpr int kFull = 100;

}  // namespace

int CollectSamples(Link& link, Prompts& prompts, PromptOwner owner, std::span<std::uint8_t> block,
                   int count, CollectionView& view) {
    view.showProgress(0);
    int status = SendReadData(link, prompts, owner, count);
    if (status != link_status::kSuccess) {
        return status;
    }
    for (int i = 0; i < count; ++i) {
        const auto item = block.subspan(kItemSize * static_cast<std::size_t>(i)).first<kItemSize>();
        status = ReceiveItem(link, prompts, owner, i, item);
        if (status != link_status::kSuccess) {
            view.showProgress(0);
            return status;
        }
        // One past the position and back: a bar that animates its moves
        // shows the position at once this way.
        const int percent = kFull * (i + 1) / count;
        view.showProgress(percent + 1);
        view.showProgress(percent);
        if (!view.keepGoing()) {
            return kCollectionStopped;
        }
    }
    view.showProgress(kFull);
    view.showProgress(kFull + 1);
    status = CheckItems(prompts, owner, block.first(kItemSize * static_cast<std::size_t>(count)));
    view.showProgress(0);
    return status;
}

}  // namespace orv
