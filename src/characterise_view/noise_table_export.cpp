// SPDX-License-Identifier: GPL-3.0-or-later
// The Noise Table window's exports: the cells as CSV, the table shown as
// Markdown, to a file or the clipboard.

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>

#include "capture/data_files.h"
#include "characterise_view/noise_table_window.h"

namespace orv {

namespace {

constexpr const char* kCaption = "Noise Table";

}  // namespace

// A run's dialogs would hold its collection up, so the files wait for its
// end; the clipboard does not.
void NoiseTableWindow::updateExports() {
    const bool haveCells = !cells_.empty();
    exportCsv_->setEnabled(haveCells && !running_);
    exportMarkdown_->setEnabled(haveCells && !running_);
    copy_->setEnabled(haveCells);
}

std::string NoiseTableWindow::markdown() const {
    return characterise::markdownTable(shownPlan_, cells_, figure());
}

void NoiseTableWindow::exportCsv() {
    exportText({.kind = FileRequest::Kind::Save,
                .initialPath = exportFolder_ + "noise-table.csv",
                .filters = {{"CSV file (*.csv)", "*.csv"}},
                .defaultExtension = "csv",
                .confirmOverwrite = true},
               characterise::cellsCsv(cells_));
}

void NoiseTableWindow::exportMarkdown() {
    exportText({.kind = FileRequest::Kind::Save,
                .initialPath = exportFolder_ + "noise-table.md",
                .filters = {{"Markdown file (*.md)", "*.md"}},
                .defaultExtension = "md",
                .confirmOverwrite = true},
               markdown());
}

void NoiseTableWindow::copyTable() {
    if (!cells_.empty()) {
        QGuiApplication::clipboard()->setText(QString::fromStdString(markdown()));
    }
}

// The next export is proposed in the folder of this one. A file that cannot
// be written is named in an error message with the system's reason.
void NoiseTableWindow::exportText(const FileRequest& request, const std::string& text) {
    if (cells_.empty() || running_) {
        return;
    }
    const std::optional<std::string> path = prompts_.chooseFile(this, request);
    if (!path) {
        return;
    }
    exportFolder_ = folderOf(*path).value_or(std::string());
    OutputFile file(*path);
    if (!file.write(text) || !file.close()) {
        prompts_.message(this, file.error(), kCaption, MessageIcon::Error);
    }
}

}  // namespace orv
