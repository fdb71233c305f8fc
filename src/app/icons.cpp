#include "icons.h"

#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace Icons {

namespace {

QIcon drawn(const std::function<void(QPainter&)>& paint) {
    QIcon icon;
    for (int size : {16, 20, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        paint(painter);
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon recordIcon() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(120, 0, 0), 1));
        p.setBrush(QColor(220, 30, 30));
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    });
}

QIcon chipPlayIcon() {
    return drawn([](QPainter& p) {
        // A chip with a play mark: playback from the chip, not from the PC.
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.setBrush(QColor(70, 70, 80));
        p.drawRect(QRectF(3.5, 2.5, 9, 11));
        for (int i = 0; i < 4; ++i) {
            p.drawLine(QPointF(1.5, 4 + i * 2.7), QPointF(3.5, 4 + i * 2.7));
            p.drawLine(QPointF(12.5, 4 + i * 2.7), QPointF(14.5, 4 + i * 2.7));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 220, 90));
        const QPointF play[] = {{6.5, 5}, {6.5, 11}, {11, 8}};
        p.drawPolygon(play, 3);
    });
}

} // namespace

QIcon forCommand(Control control, const QStyle* style) {
    switch (control) {
    case Control::RecordFileButton:
        return recordIcon();
    case Control::PlayFromChipButton:
        return chipPlayIcon();
    case Control::PlayFileButton:
        return style->standardIcon(QStyle::SP_MediaPlay);
    case Control::StopPlaybackButton:
    case Control::StopChipButton:
        return style->standardIcon(QStyle::SP_MediaStop);
    case Control::RemoveFileButton:
        return style->standardIcon(QStyle::SP_TrashIcon);
    case Control::LoadFileListButton:
    case Control::LoadMemoryMapButton:
        return style->standardIcon(QStyle::SP_DialogOpenButton);
    case Control::SaveFileListButton:
    case Control::SaveMemoryMapButton:
        return style->standardIcon(QStyle::SP_DialogSaveButton);
    default:
        // "Add File", and anything else that gets a tool button.
        return style->standardIcon(QStyle::SP_FileIcon);
    }
}

QIcon application() {
    return chipPlayIcon();
}

} // namespace Icons
