#include "message_box.h"

#include "texts/operator_texts.h"

#include <QMessageBox>

namespace dx400 {

void showMessage(QWidget* parent, std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(text::kTitle), QString::fromUtf8(text),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("message"));
    box.exec();
}

} // namespace dx400
