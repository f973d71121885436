#pragma once

#include <string_view>

class QWidget;

namespace dx400 {

// Every message of the window: Korean text (UTF-8), an OK button only, no icon, the
// application's title, modal. Returns when the operator has closed it.
void showMessage(QWidget* parent, std::string_view text);

} // namespace dx400
