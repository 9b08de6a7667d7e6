#include "app/qt_prompts.h"

#include <QMessageBox>

namespace orv {

void QtPrompts::message(PromptOwner owner, const std::string& text, const std::string& caption,
                        MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                    owner);
    box.exec();
}

}  // namespace orv
