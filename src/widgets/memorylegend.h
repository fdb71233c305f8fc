#pragma once

#include <QWidget>

// One line under the memory picture that says what its colours mean.
class MemoryLegend : public QWidget {
    Q_OBJECT
public:
    explicit MemoryLegend(QWidget* parent = nullptr);

    struct Entry {
        QColor colour;
        QString text;
        bool line = false; // drawn as the cursor's line, not a swatch
    };
    static const QList<Entry>& entries();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
