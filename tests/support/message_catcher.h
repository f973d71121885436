#pragma once

#include <QStringList>
#include <QTimer>
#include <functional>

namespace dx400::test {

// Closes every modal message box as soon as it opens and records its text, so that no
// test hangs on a box. An optional hook runs while a box is open (before it is closed),
// as an operator's click would.
class MessageCatcher {
public:
    MessageCatcher();
    ~MessageCatcher();

    QStringList texts;
    QStringList titles;
    std::function<void()> whileOpen;

private:
    QTimer m_timer;
};

} // namespace dx400::test
