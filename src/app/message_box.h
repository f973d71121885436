#pragma once

#include <QString>

class QWidget;

namespace dx400 {

// Every message of the program: Korean text, an OK button only, no icon, the
// application's title, modal. Returns when the operator has closed it.
void showMessage(QWidget* parent, const QString& text);

} // namespace dx400
