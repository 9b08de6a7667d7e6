// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QImage>
#include <functional>

namespace orv {

// The chart's drawing surface: a framed area that shows one finished
// picture at a time. A picture handed to `showPicture` is put on screen at once;
// when the window system asks the area to paint for any other reason, the
// `onExpose` picture is drawn first and shown instead.
class ChartView final : public QFrame {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent);

    // The size pictures are made for: the area inside the frame.
    QSize pictureSize() const { return contentsRect().size(); }
    void showPicture(QImage picture);
    void setOnExpose(std::function<QImage()> onExpose) { onExpose_ = std::move(onExpose); }
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    bool fresh_ = false;  // painting a picture from `showPicture`
    std::function<QImage()> onExpose_;
};

}  // namespace orv
