// The main window's pictures: the start picture (a JPEG in the resources),
// and the toolbar and marking-button images, drawn here.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QWidget>

namespace pictures {

enum ToolbarImage { FileImage = 0, HelpImage = 1, ExitImage = 2, ReceiverImage = 3, EditImage = 4 };

// A 20 x 20 toolbar image; `hot` is the variant shown under the mouse.
QPixmap Toolbar(ToolbarImage image, bool hot);
// The toolbar icon with its normal and hot images.
QIcon ToolbarIcon(ToolbarImage image);

// Picture of marking button `button`: 0..15 the favourite groups, 16 skip, 17 lock.
QIcon MarkButton(int button);

// The start picture, decoded from its JPEG; null when the decoder is missing.
QPixmap Background();

} // namespace pictures

// Paints a picture stretched over the whole widget.
class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);
    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};
