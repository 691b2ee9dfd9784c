#pragma once
// The about window, also used as the start-up splash: one 600 x 400 picture
// that the program draws itself.
#include <QImage>
#include <QWidget>

namespace v2d {

class TFormAbout : public QWidget {
public:
    explicit TFormAbout(QWidget* parent = nullptr);

    static constexpr int kWidth = 600;
    static constexpr int kHeight = 400;
    // The window's picture.
    static QImage DrawAboutPicture();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

}  // namespace v2d
