#pragma once

#include "plan/memorylayout.h"

#include <QWidget>
#include <optional>

// The strip above the bottom panel that draws the chip's memory: the file
// table's messages above, the records found in the chip below, reserved and
// free rows, and the current address as a cursor. It only draws what it is
// given; PlanPicture keeps it up to date.
class MemoryPictureView : public QWidget {
    Q_OBJECT
public:
    explicit MemoryPictureView(QWidget* parent = nullptr);

    void showLayout(const MemoryLayout& layout);
    void setCursorRow(int row);
    int cursorRow() const { return cursor; }
    const std::optional<MemoryLayout>& memoryLayout() const { return shown; }

    // Where the blocks are drawn: the widget less its frame.
    QRect drawingArea() const;
    // The text a hover over this point shows; empty over nothing.
    QString tipAt(const QPoint& point) const;

    QSize sizeHint() const override;

    static QColor colourOf(const PictureBlock& block);

signals:
    void blockClicked(PictureBlock::Lane lane, int tableRow);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    std::optional<MemoryLayout> shown;
    int cursor = 0;
};
