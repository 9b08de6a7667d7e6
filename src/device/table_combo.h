// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QComboBox;

namespace orv {

struct ValueEntry;

// Drop-down lists filled from a value table: item i shows entry i's name and
// holds its code as item data. The lists are unsorted, so an item's index is
// its position in the table.

// Appends every entry before the end mark, then selects item 0.
void fillFromTable(QComboBox* list, const ValueEntry* table);

// The selected item's code, or -1 when nothing is selected.
int selectedCode(const QComboBox* list);

// Selects item index `code`; a code with no item leaves no selection.
void selectDirect(QComboBox* list, int code);

// Selects the first item whose code is `code`; with no such item the
// selection stays as it was.
void selectBySearch(QComboBox* list, int code);

}  // namespace orv
