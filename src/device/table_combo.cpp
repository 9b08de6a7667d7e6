// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/table_combo.h"

#include <QComboBox>

#include "converter/value_tables.h"

namespace orv {

void fillFromTable(QComboBox* list, const ValueEntry* table) {
    for (int i = 0; table[i].valid != -1; ++i) {
        // The code goes in with the item, so that a handler of the first
        // item's automatic selection already sees it.
        list->addItem(QString::fromUtf8(table[i].name), table[i].code);
    }
    list->setCurrentIndex(0);
}

int selectedCode(const QComboBox* list) {
    const int index = list->currentIndex();
    return index < 0 ? -1 : list->itemData(index).toInt();
}

void selectDirect(QComboBox* list, int code) {
    list->setCurrentIndex(code < list->count() ? code : -1);
}

void selectBySearch(QComboBox* list, int code) {
    for (int j = 0; j < list->count(); ++j) {
        if (list->itemData(j).toInt() == code) {
            list->setCurrentIndex(j);
            return;
        }
    }
}

}  // namespace orv
