#include "choice_list.h"

#include <QComboBox>
#include <QLineEdit>

namespace dx400 {

void countOnlyChosenEntries(QComboBox* list) {
    list->setCompleter(nullptr);
    QLineEdit* field = list->lineEdit();
    // QComboBox selects the entry that typed text matches when editing finishes, through a
    // private slot; the window's tests show whether this Qt still has it.
    if (!QObject::disconnect(field, SIGNAL(editingFinished()), list, SLOT(_q_editingFinished())))
        qWarning("typed text that matches a list entry will select it");
    QObject::connect(field, &QLineEdit::textEdited, list, [list, field](const QString& typed) {
        const int cursor = field->cursorPosition();
        list->setCurrentIndex(-1); // empties the field
        list->setEditText(typed);
        field->setCursorPosition(cursor);
    });
}

} // namespace dx400
