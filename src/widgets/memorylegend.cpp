#include "memorylegend.h"

#include "memorypictureview.h"

#include <QPainter>

namespace {
constexpr int Swatch = 10;
constexpr int SwatchGap = 4;
constexpr int EntryGap = 14;
constexpr int Margin = 4;

PictureBlock block(PictureBlock::Kind kind, PictureBlock::State state) {
    PictureBlock b;
    b.kind = kind;
    b.state = state;
    return b;
}
} // namespace

MemoryLegend::MemoryLegend(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MemoryLegend"));
    setAccessibleDescription(objectName());
    QStringList texts;
    for (const Entry& entry : entries())
        texts.append(entry.text);
    setAccessibleName(texts.join(QStringLiteral(", ")));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

const QList<MemoryLegend::Entry>& MemoryLegend::entries() {
    using K = PictureBlock::Kind;
    using S = PictureBlock::State;
    static const QList<Entry> all = {
        {MemoryPictureView::colourOf(block(K::File, S::Plain)), QStringLiteral("files (top)")},
        {MemoryPictureView::colourOf(block(K::Record, S::Plain)),
         QStringLiteral("in the chip (bottom)")},
        {MemoryPictureView::colourOf(block(K::Reserved, S::Plain)), QStringLiteral("reserved")},
        {MemoryPictureView::colourOf(block(K::File, S::Cut)), QStringLiteral("cut / differs")},
        {MemoryPictureView::colourOf(block(K::Record, S::Verified)), QStringLiteral("verified")},
        {Qt::black, QStringLiteral("current address"), true},
    };
    return all;
}

QSize MemoryLegend::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    int width = 2 * Margin;
    for (const Entry& entry : entries())
        width += Swatch + SwatchGap + metrics.horizontalAdvance(entry.text) + EntryGap;
    return {width - EntryGap, metrics.height() + 2};
}

void MemoryLegend::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    int x = Margin;
    const int middle = height() / 2;
    for (const Entry& entry : entries()) {
        const QRect swatch(x, middle - Swatch / 2, Swatch, Swatch);
        if (entry.line) {
            painter.setPen(QPen(entry.colour, 2));
            painter.drawLine(swatch.center().x(), swatch.top() - 1, swatch.center().x(),
                             swatch.bottom() + 1);
        } else {
            painter.fillRect(swatch, entry.colour);
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        }
        x += Swatch + SwatchGap;
        painter.setPen(palette().color(QPalette::WindowText));
        const int textWidth = metrics.horizontalAdvance(entry.text);
        painter.drawText(QRect(x, 0, textWidth, height()), Qt::AlignLeft | Qt::AlignVCenter,
                         entry.text);
        x += textWidth + EntryGap;
    }
}
