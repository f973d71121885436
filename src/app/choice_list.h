#pragma once

class QComboBox;

namespace dx400 {

// Makes an editable choice list count only an entry chosen from the list. Text typed into
// its field leaves the list with no selection (current index -1) while the field keeps
// showing what was typed; choosing an entry selects it again. Left to itself QComboBox
// keeps its old entry selected under typed text that matches none, so connecting would use
// a port or speed that the field does not show, and it turns typed text that matches an
// entry into a selection when the field loses the focus.
void countOnlyChosenEntries(QComboBox* list);

} // namespace dx400
