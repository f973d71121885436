#include "port_tool_tips.h"

#include "link/port_description.h"
#include "link/serial_port.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace dx400 {

PortToolTips::PortToolTips(const SerialPort& port, QObject* parent)
    : QObject(parent), m_port(port) {}

void PortToolTips::watch(QAbstractItemView* view) {
    view->viewport()->installEventFilter(this);
}

bool PortToolTips::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return false;
    auto* viewport = static_cast<QWidget*>(watched);
    auto* view = static_cast<QAbstractItemView*>(viewport->parentWidget());
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex entry = view->indexAt(help->pos());
    const int n = entry.data(Qt::UserRole).toInt();
    if (n <= 0)
        return false;
    QToolTip::showText(help->globalPos(), describePort(m_port.deviceName(n)), viewport,
                       view->visualRect(entry));
    return true;
}

} // namespace dx400
