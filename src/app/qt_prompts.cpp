#include "app/qt_prompts.h"

#include <QColorDialog>
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

}  // namespace orv
