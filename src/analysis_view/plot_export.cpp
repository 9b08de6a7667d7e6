// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_view/plot_export.h"

#include <qcustomplot.h>
#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>
#include <QSvgGenerator>

namespace orv {

namespace {

// The SVG is drawn into memory and then written, so that a file that
// cannot be written is told apart from a drawing that went wrong, and a
// failed write leaves no half file.
bool saveSvg(QCustomPlot& plot, const QString& path) {
    const int width = plot.width();
    const int height = plot.height();
    QBuffer svg;
    QSvgGenerator generator;
    generator.setOutputDevice(&svg);
    generator.setSize(QSize(width, height));
    generator.setViewBox(QRect(0, 0, width, height));
    generator.setTitle(plot.accessibleName());
    QCPPainter painter;
    if (!painter.begin(&generator)) {
        return false;
    }
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    plot.toPainter(&painter, width, height);
    painter.end();

    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(svg.data()) == svg.data().size() &&
           file.commit();
}

}  // namespace

bool savePlot(QCustomPlot& plot, const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("png")) {
        return plot.savePng(path);
    }
    if (extension == QLatin1String("svg")) {
        return saveSvg(plot, path);
    }
    if (extension == QLatin1String("pdf")) {
        return plot.savePdf(path, 0, 0, QCP::epAllowCosmetic, QStringLiteral("Orvellin"),
                            plot.accessibleName());
    }
    return false;
}

}  // namespace orv
