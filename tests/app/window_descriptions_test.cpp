#include "app/form1.h"
#include "app/separator_line.h"
#include "fake_window.h"
#include "window_access.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QSet>
#include <algorithm>

using namespace dx400;
using namespace dx400::test;

namespace {

// Every control the operator sees and works: named children, without Qt's own inner
// widgets (scroll bars, viewports) and the decorative separator lines.
QList<QWidget*> controls(const QWidget& window) {
    QList<QWidget*> found;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith(QStringLiteral("qt_")) ||
            dynamic_cast<SeparatorLine*>(widget))
            continue;
        found << widget;
    }
    return found;
}

bool hasHangul(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3; });
}

bool hasLatinLetter(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
               (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
    });
}

} // namespace

TEST(WindowDescriptions, EveryControlHasAKoreanAndEnglishNameAndADescription) {
    FakeWindow s;
    const QList<QWidget*> all = controls(s.window);
    // 4 in the settings frame besides labels, 6 rows of three, and the rest: a lost
    // control would shrink this list and hide from the checks below.
    ASSERT_GE(all.size(), 50);
    for (QWidget* widget : all) {
        const std::string object = widget->objectName().toStdString();
        SCOPED_TRACE(object);
        const QString name = widget->accessibleName();
        const QString description = widget->accessibleDescription();
        EXPECT_TRUE(hasHangul(name)) << name.toStdString();
        EXPECT_TRUE(hasLatinLetter(name)) << name.toStdString();
        EXPECT_TRUE(hasHangul(description) && hasLatinLetter(description))
            << description.toStdString();

        // What assistive technology reads is what was set. Qt on Unix gives a combo box
        // its current text as name; readers take its label from the labelled-by relation.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr);
        if (!qobject_cast<QComboBox*>(widget))
            EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), name.toStdString());
        EXPECT_EQ(accessible->text(QAccessible::Description).toStdString(),
                  description.toStdString());
    }
}

TEST(WindowDescriptions, ControlsOtherThanCaptionsHaveDistinctNames) {
    FakeWindow s;
    QSet<QString> seen;
    for (QWidget* widget : controls(s.window)) {
        if (qobject_cast<QLabel*>(widget))
            continue; // a caption shares the name of the control it labels
        const QString name = widget->accessibleName();
        EXPECT_FALSE(seen.contains(name))
            << name.toStdString() << " also names " << widget->objectName().toStdString();
        seen.insert(name);
    }
}

TEST(WindowDescriptions, EachCaptionLabelsTheControlBesideOrBelowIt) {
    FakeWindow s;
    int captions = 0;
    for (QLabel* label : s.window.findChildren<QLabel*>()) {
        if (label->objectName().isEmpty() || label->objectName().startsWith(QStringLiteral("qt_")))
            continue;
        ++captions;
        SCOPED_TRACE(label->objectName().toStdString());
        QWidget* buddy = label->buddy();
        ASSERT_NE(buddy, nullptr);
        const QRect l(label->mapTo(&s.window, QPoint(0, 0)), label->size());
        const QRect b(buddy->mapTo(&s.window, QPoint(0, 0)), buddy->size());
        const bool beside = b.left() >= l.left() && b.top() <= l.bottom() && b.bottom() >= l.top();
        const bool below = b.top() >= l.top() && b.left() <= l.right() && b.right() >= l.left();
        EXPECT_TRUE(beside || below) << "labels " << buddy->objectName().toStdString();
    }
    EXPECT_EQ(captions, 13);
}

TEST(WindowDescriptions, ScreenReadersFindEachChoiceByItsCaption) {
    FakeWindow s;
    const std::pair<const char*, const char*> choices[] = {{"Combo_0", "Label1"},
                                                           {"Combo_1", "Label2"}};
    for (const auto& [choice, caption] : choices) {
        SCOPED_TRACE(choice);
        QAccessibleInterface* accessible =
            QAccessible::queryAccessibleInterface(control(s.window, choice));
        ASSERT_NE(accessible, nullptr);
        // The settings frame's title labels them too.
        QStringList labels;
        for (const auto& relation : accessible->relations(QAccessible::Label))
            labels << relation.first->object()->objectName();
        EXPECT_TRUE(labels.contains(QString::fromUtf8(caption))) << labels.join(' ').toStdString();
    }
}

TEST(WindowDescriptions, PortTooltipsNameTheDevice) {
    FakeWindow s;
    auto* ports = control<QComboBox>(s.window, "Combo_0");
    ASSERT_EQ(ports->count(), 9);
    for (int i = 0; i < ports->count(); ++i) {
        const QString tip = ports->itemData(i, Qt::ToolTipRole).toString();
        // The fake's devices do not exist, which the tooltip says after the device.
        EXPECT_EQ(tip, QStringLiteral("/dev/fake%1\n장치 없음 (no such device)").arg(i + 1));
        EXPECT_EQ(ports->itemText(i), QStringLiteral("COM%1").arg(i + 1));
    }
    auto* found = control<QListWidget>(s.window, "PORT");
    ASSERT_EQ(found->count(), 2);
    EXPECT_TRUE(found->item(0)->toolTip().startsWith(QStringLiteral("/dev/fake1\n")));
    EXPECT_TRUE(found->item(1)->toolTip().startsWith(QStringLiteral("/dev/fake4\n")));
}
