// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

#include "analysis/scale.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace orv {

// "Settings used": the gain, data rate and reference voltage the figures
// are computed with. Each block brings its own; the user may change them
// afterwards (a block collected with the wrong Vref typed in, a rate the
// register did not say). A Vref that is not a positive number is refused:
// the field returns to the last good value and a note says why.
class SettingsBox final : public QGroupBox {
    Q_OBJECT
public:
    explicit SettingsBox(QWidget* parent = nullptr);

    // Shows `scale` without signalling. A gain or rate the lists lack is
    // added to them for as long as it is shown.
    void setScale(const analysis::Scale& scale);
    const analysis::Scale& scale() const { return scale_; }

signals:
    // The user changed a setting; `scale` holds all three.
    void scaleChanged(const orv::analysis::Scale& scale);

private:
    void takeGain();
    void takeRate();
    void takeVref();

    QComboBox* gain_;
    QComboBox* rate_;
    QLineEdit* vref_;
    QLabel* vrefNote_;
    analysis::Scale scale_;
};

}  // namespace orv
