// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's data files: the text file and the raw file of a block.

#include <QLineEdit>
#include <algorithm>

#include "capture/data_files.h"
#include "device/panel.h"
#include "device/panel_data.h"
#include "link/link.h"
#include "seams/prompts.h"

namespace orv {

namespace {

constexpr int kRawFileFailed = 1006;
constexpr int kTextFileFailed = -1;

FileRequest dataFileRequest(const std::string& proposed) {
    return {.kind = FileRequest::Kind::Save,
            .initialPath = proposed,
            .filters = {{"Normal text file(*.txt)", "*.txt"}, {"All Format(*.*)", "*.*"}},
            .defaultExtension = "txt",
            .confirmOverwrite = true};
}

}  // namespace

// Saving while a collection runs saves the block shown, which the
// collection replaces only when it has succeeded.
void ZN410Dlg::OnSaveFile() {
    data_.textFilePath = data_.dataFolder + fileNameStamp(link_.clock().localTime());
    const auto chosen = prompts_.chooseFile(this, dataFileRequest(data_.textFilePath));
    if (!chosen) {
        data_.textFilePath.clear();
        data_.binaryFilePath.clear();
        logFilePath_->clear();
        return;
    }
    data_.textFilePath = *chosen;
    if (const auto folder = folderOf(*chosen)) {
        data_.dataFolder = *folder;
    }
    logFilePath_->setText(QString::fromStdString(*chosen));
    const auto rawPath = rawPathFor(*chosen);
    if (!rawPath) {
        return;
    }
    data_.binaryFilePath = *rawPath;

    const std::size_t count = data_.samples.size();
    if (count == 0) {
        return;
    }
    // The items are those the sample list was built from; never more than
    // there are.
    const std::size_t length = std::min(kItemSize * count, data_.sampleItems.size());
    if (WriteRawFile(std::span(data_.sampleItems).first(length)) != 0) {
        prompts_.message(this, "Save ADC Raw Data Failed !", "Error occured !");
        return;
    }
    if (WriteTextFile(count) != 0) {
        prompts_.message(this, "Save ADC Data Failed !", "Error occured !");
    }
}

// A raw file of the chosen name exists already: neither it nor its text
// file is overwritten. Both go to the data folder under the time's stamp,
// with a counter when files of that stamp exist too.
void ZN410Dlg::moveToNewStamp() {
    const std::string stamp = data_.dataFolder + fileNameStamp(link_.clock().localTime());
    std::string base = stamp;
    for (int counter = 2; fileExists(base + ".bin") || fileExists(base + ".txt"); ++counter) {
        base = stamp + "_" + std::to_string(counter);
    }
    data_.binaryFilePath = base + ".bin";
    data_.textFilePath = base + ".txt";
    logFilePath_->setText(QString::fromStdString(data_.textFilePath));
}

int ZN410Dlg::WriteRawFile(std::span<const std::uint8_t> block) {
    if (data_.binaryFilePath.empty()) {
        return 0;
    }
    if (fileExists(data_.binaryFilePath)) {
        moveToNewStamp();
    }
    OutputFile file(data_.binaryFilePath);
    const std::string_view bytes(reinterpret_cast<const char*>(block.data()), block.size());
    if (!file.write(bytes) || !file.close()) {
        prompts_.message(this, file.error(), "Error", MessageIcon::Error);
        return kRawFileFailed;
    }
    return 0;
}

int ZN410Dlg::WriteTextFile(std::size_t count) {
    if (data_.textFilePath.empty()) {
        return 0;
    }
    OutputFile file(data_.textFilePath);
    const std::span<const std::int32_t> samples =
        std::span(data_.samples).first(std::min(count, data_.samples.size()));
    if (!writeTextLines(samples, [&file](std::string_view piece) { return file.write(piece); }) ||
        !file.close()) {
        prompts_.message(this, file.error(), "Error", MessageIcon::Error);
        return kTextFileFailed;
    }
    return 0;
}

}  // namespace orv
