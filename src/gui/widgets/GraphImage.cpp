#include "widgets/GraphImage.h"

#include <QPainter>

#include "SjisQt.h"
#include "window/HourBars.h"

namespace pomurina {
namespace {

QColor ToQColor(Color color) {
    return QColor(color.red, color.green, color.blue);
}

}  // namespace

GraphImage::GraphImage(const char* name, QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(name));
    setFixedSize(kGraphWidth, kGraphHeight);
}

QImage& GraphImage::Canvas() {
    if (m_image.isNull()) {
        m_image = QImage(kGraphWidth, kGraphHeight, QImage::Format_RGB32);
        m_image.fill(Qt::white);
    }
    update();
    return m_image;
}

QPen GraphImage::Pen() const {
    QPen pen(ToQColor(m_penColor), 1, m_penStyle == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    // A flat end leaves the end point out, as lines are drawn here.
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void GraphImage::Rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    QPainter painter(&Canvas());
    painter.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)),
                     ToQColor(m_brushColor));
    // The outline runs along the rectangle's outermost pixels, inside it; the
    // gaps of a dotted pen keep the fill.
    painter.setPen(Pen());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(left, top), QPoint(right - 2, bottom - 2)));
}

void GraphImage::MoveTo(int x, int y) {
    m_current = QPoint(x, y);
}

void GraphImage::LineTo(int x, int y) {
    const QPoint to(x, y);
    QPainter painter(&Canvas());
    painter.setPen(Pen());
    painter.drawLine(m_current, to);
    m_current = to;
}

void GraphImage::TextOut(int x, int y, std::string_view text) {
    QPainter painter(&Canvas());
    painter.setFont(font());
    const QString shown = FromSjis(text);
    const QFontMetrics metrics(font());
    const QRect cell(x, y, metrics.horizontalAdvance(shown), metrics.height());
    painter.fillRect(cell, ToQColor(m_brushColor));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
}

void GraphImage::paintEvent(QPaintEvent*) {
    if (m_image.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

}  // namespace pomurina
