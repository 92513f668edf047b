#pragma once
// A graph's drawing surface: a 297 x 255 image drawn with a pen, a brush and
// text as the hourly graphs command, shown at its natural size.  The image
// comes into being at the first drawing; before that nothing shows.
#include <QImage>
#include <QWidget>

#include "window/Surface.h"

namespace pomurina {

class GraphImage final : public QWidget, public Surface {
public:
    explicit GraphImage(const char* name, QWidget* parent = nullptr);

    void SetPenColor(Color color) override { m_penColor = color; }
    void SetPenStyle(PenStyle style) override { m_penStyle = style; }
    void SetBrushColor(Color color) override { m_brushColor = color; }
    void Rectangle(int left, int top, int right, int bottom) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void TextOut(int x, int y, std::string_view text) override;

    // The pixels drawn so far; null before the first drawing.
    const QImage& Image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage& Canvas();
    QPen Pen() const;

    QImage m_image;
    Color m_penColor{0, 0, 0};
    PenStyle m_penStyle = PenStyle::Solid;
    Color m_brushColor{255, 255, 255};
    QPoint m_current;
};

}  // namespace pomurina
