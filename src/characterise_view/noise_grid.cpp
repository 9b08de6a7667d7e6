// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterise_view/noise_grid.h"

#include <QHeaderView>
#include <vector>

#include "characterise_view/cell_shade.h"

namespace orv {

namespace {

using characterise::NoiseCell;

QString rateText(double rate) {
    return QString::number(rate) + QStringLiteral(" SPS");
}

QString gainText(int gain) {
    return QStringLiteral("Gain ") + QString::number(gain);
}

QTableWidgetItem* emptyItem(int gain, double rate) {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignCenter);
    item->setData(Qt::AccessibleTextRole, QString());
    item->setData(Qt::AccessibleDescriptionRole,
                  gainText(gain) + QStringLiteral(", ") + rateText(rate));
    return item;
}

}  // namespace

NoiseGrid::NoiseGrid(QWidget* parent) : QTableWidget(parent) {
    setAccessibleName(QStringLiteral("Noise table"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setMinimumSectionSize(fontMetrics().horizontalAdvance("Gain 64") + 12);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void NoiseGrid::setShape(const characterise::SweepPlan& plan) {
    shape_ = plan;
    clear();
    setRowCount(int(plan.rates.size()));
    setColumnCount(int(plan.gains.size()));
    QStringList rows;
    for (double rate : plan.rates) {
        rows << rateText(rate);
    }
    QStringList columns;
    for (int gain : plan.gains) {
        columns << gainText(gain);
    }
    setVerticalHeaderLabels(rows);
    setHorizontalHeaderLabels(columns);
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 0; column < columnCount(); ++column) {
            setItem(row, column,
                    emptyItem(plan.gains[std::size_t(column)], plan.rates[std::size_t(row)]));
        }
    }
}

// The shading compares only the cells that have a place in the table.
void NoiseGrid::showCells(std::span<const NoiseCell> cells, characterise::TableFigure figure) {
    std::vector<NoiseCell> shown;
    std::vector<QTableWidgetItem*> places;
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 0; column < columnCount(); ++column) {
            QTableWidgetItem* place = item(row, column);
            const NoiseCell* cell = characterise::findCell(cells, shape_.gains[std::size_t(column)],
                                                           shape_.rates[std::size_t(row)]);
            if (!cell) {
                place->setText(QString());
                place->setData(Qt::AccessibleTextRole, QString());
                place->setData(Qt::BackgroundRole, QVariant());
                place->setData(Qt::ForegroundRole, QVariant());
                continue;
            }
            shown.push_back(*cell);
            places.push_back(place);
        }
    }
    const std::vector<double> badness = badnessOf(shown, figure);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const QString text = QString::fromStdString(characterise::figureText(shown[i], figure));
        places[i]->setText(text);
        places[i]->setData(Qt::AccessibleTextRole, text);
        places[i]->setBackground(shadeOf(badness[i]));
        // The shades are light whatever the style's colours: the text on
        // them is always black.
        places[i]->setForeground(QColor(Qt::black));
    }
}

QSize NoiseGrid::sizeHint() const {
    const int width = verticalHeader()->sizeHint().width() +
                      columnCount() * horizontalHeader()->minimumSectionSize() + 2 * frameWidth();
    const int height = horizontalHeader()->sizeHint().height() +
                       rowCount() * verticalHeader()->defaultSectionSize() + 2 * frameWidth();
    return {width, height};
}

}  // namespace orv
