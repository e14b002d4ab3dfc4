// TImageList: numbered images of one size, for tool bars and list views.
#pragma once

#include <QImage>
#include <QList>
#include <QObject>

namespace kelm24 {

class TImageList : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int Count READ Count)
public:
    explicit TImageList(QObject* owner = nullptr) : QObject(owner) {}
    int Width() const { return width_; }
    void SetWidth(int v) { width_ = v; }
    int Height() const { return height_; }
    void SetHeight(int v) { height_ = v; }
    int Count() const { return int(images_.size()); }
    // Adds the image scaled to the list's size; answers its index.
    int Add(const QImage& image)
    {
        images_.append(image.size() == QSize(width_, height_)
                           ? image
                           : image.scaled(width_, height_, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        return Count() - 1;
    }
    // Image index, or a null image when there is none.
    QImage Image(int index) const { return index >= 0 && index < Count() ? images_[index] : QImage(); }
    void Clear() { images_.clear(); }

private:
    int width_ = 16, height_ = 16;
    QList<QImage> images_;
};

}  // namespace kelm24
