#pragma once

#include <QObject>

class QAbstractItemView;

namespace dx400 {

class SerialPort;

// Tooltips for the port lists: each entry names the device its port stands for and what
// the system knows of it (description, maker, USB ids). Asking the system takes tens of
// milliseconds, so a tooltip is made when it is about to show, not when the window starts.
class PortToolTips : public QObject {
public:
    PortToolTips(const SerialPort& port, QObject* parent);

    // Shows tooltips over the entries of `view`, whose entries carry their port number as
    // Qt::UserRole data.
    void watch(QAbstractItemView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const SerialPort& m_port;
};

} // namespace dx400
