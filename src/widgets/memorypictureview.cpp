#include "memorypictureview.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {
constexpr int Height = 26;
constexpr int Margin = 2;
} // namespace

MemoryPictureView::MemoryPictureView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MemoryPicture"));
    setFixedHeight(Height);
    setMouseTracking(true);
}

QSize MemoryPictureView::sizeHint() const {
    return {400, Height};
}

void MemoryPictureView::showLayout(const MemoryLayout& layout) {
    shown = layout;
    update();
}

void MemoryPictureView::setCursorRow(int row) {
    if (row == cursor)
        return;
    cursor = row;
    update();
}

QRect MemoryPictureView::drawingArea() const {
    return rect().adjusted(Margin, Margin, -Margin, -Margin);
}

QColor MemoryPictureView::colourOf(const PictureBlock& block) {
    using K = PictureBlock::Kind;
    using S = PictureBlock::State;
    switch (block.state) {
    case S::Cut:
    case S::Differs:
        return QColor(0xd9, 0x3f, 0x3f);
    case S::Verified:
        return QColor(0x3f, 0xa3, 0x4d);
    case S::Plain:
        break;
    }
    switch (block.kind) {
    case K::Reserved:
        return QColor(0x80, 0x80, 0x80);
    case K::File:
        return QColor(0x4a, 0x7e, 0xc9);
    case K::Record:
        return QColor(0xc9, 0x9a, 0x3f);
    case K::Free:
        break;
    }
    return QColor(0xf4, 0xf4, 0xf4);
}

void MemoryPictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = drawingArea();
    painter.fillRect(area, QColor(0xf4, 0xf4, 0xf4));
    if (!shown)
        return;
    for (const PictureBlock& block : shown->blocks()) {
        if (block.kind == PictureBlock::Kind::Free)
            continue;
        const QRect r = shown->rectOf(block, area);
        painter.fillRect(r, colourOf(block));
        if (block.kind != PictureBlock::Kind::Reserved && r.width() > 2) {
            painter.setPen(Qt::white);
            painter.drawLine(r.topLeft(), r.bottomLeft());
        }
    }
    painter.setPen(QColor(0x90, 0x90, 0x90));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    const int x = MemoryLayout::xOfRow(cursor, shown->chip().rowCount(), area);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(x, rect().top(), x, rect().bottom());
}

QString MemoryPictureView::tipAt(const QPoint& point) const {
    if (!shown)
        return QString();
    const PictureBlock* block = shown->blockAt(point, drawingArea());
    return block != nullptr ? block->tip : QString();
}

void MemoryPictureView::mousePressEvent(QMouseEvent* event) {
    if (!shown || event->button() != Qt::LeftButton)
        return;
    const PictureBlock* block = shown->blockAt(event->position().toPoint(), drawingArea());
    if (block != nullptr && block->tableRow > 0)
        emit blockClicked(block->lane, block->tableRow);
}

bool MemoryPictureView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = tipAt(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}
