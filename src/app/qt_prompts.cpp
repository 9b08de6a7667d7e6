// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_prompts.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "controls/colour_ref.h"

namespace orv {

void QtPrompts::message(PromptOwner owner, const std::string& text, const std::string& caption,
                        MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                    owner);
    box.exec();
}

// The dialog always shows its custom colours beside the basic ones.
std::optional<std::uint32_t> QtPrompts::chooseColour(PromptOwner owner, std::uint32_t initial) {
    QColorDialog dialog(fromColourRef(initial), owner);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return toColourRef(dialog.selectedColor());
}

namespace {

// Qt takes a filter's patterns from the parentheses at the end of its text;
// a description that does not already end with them gets them added.
QString nameFilter(const FileFilter& filter) {
    const QString description = QString::fromStdString(filter.description);
    const QString pattern = QString::fromStdString(filter.pattern);
    if (description.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')'))) {
        return description;
    }
    return description + QStringLiteral(" (") + pattern + QLatin1Char(')');
}

}  // namespace

// The dialog starts in the initial name's folder, or in the working folder
// when the name has none, and uses the system's title.
std::optional<std::string> QtPrompts::chooseFile(PromptOwner owner, const FileRequest& request) {
    QFileDialog dialog(owner);
    const bool save = request.kind == FileRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const FileFilter& filter : request.filters) {
        filters.append(nameFilter(filter));
    }
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    const QFileInfo initial(
        QDir::fromNativeSeparators(QString::fromStdString(request.initialPath)));
    if (request.initialPath.find_first_of("/\\") != std::string::npos) {
        dialog.setDirectory(initial.absolutePath());
    }
    dialog.selectFile(initial.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst()).toStdString();
}

}  // namespace orv
