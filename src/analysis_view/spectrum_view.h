// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "analysis/spectrum.h"
#include "analysis/tone.h"

class QCPGraph;
class QCPItemText;
class QCustomPlot;
class QRadioButton;

namespace orv {

// The block's spectrum in dBFS over frequency: in Hz when the data rate is
// known, otherwise in cycles per sample, on a linear or a logarithmic axis
// (which leaves out bin 0). The fundamental reads "F", the harmonics their
// order, 2 to 6.
class SpectrumView final : public QWidget {
    Q_OBJECT
public:
    explicit SpectrumView(QWidget* parent = nullptr);

    QCustomPlot* plot() const { return plot_; }

    // Replotting is the caller's, here and in setRate.
    void setSpectrum(const analysis::Spectrum& spectrum,
                     const std::optional<analysis::ToneFigures>& tone);
    void clear();
    // Refits the frequencies to `rateHz`; the spectrum is not recomputed.
    void setRate(std::optional<double> rateHz);

private:
    static constexpr std::size_t kMarkers = 1 + analysis::kHarmonicCount;

    void plotSpectrum();
    void resetView();

    QCustomPlot* plot_;
    QCPGraph* graph_;
    QCPGraph* markerDots_;
    std::array<QCPItemText*, kMarkers> markerLabels_{};
    QRadioButton* linearChoice_;
    QRadioButton* logChoice_;

    std::size_t length_ = 0;
    std::vector<double> dbfs_;
    std::array<std::optional<std::size_t>, kMarkers> markerBins_{};
    std::optional<double> rateHz_;
};

}  // namespace orv
