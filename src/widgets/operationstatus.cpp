#include "operationstatus.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

OperationStatus::OperationStatus(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("OperationStatus"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    textLabel = new QLabel(this);
    textLabel->setObjectName(QStringLiteral("LinkStatus"));
    // A long text is cut, never widens the window: the tables' column widths
    // follow the window's width.
    textLabel->setMinimumWidth(1);
    textLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    layout->addWidget(textLabel, 1);
    bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("OperationProgress"));
    bar->setRange(0, 1000);
    bar->setTextVisible(true);
    bar->setMaximumHeight(textLabel->sizeHint().height() + 2);
    bar->setMinimumWidth(
        bar->fontMetrics().horizontalAdvance(QStringLiteral("100% \u00b7 00:00 left")) + 24);
    bar->hide();
    layout->addWidget(bar);
    for (QWidget* w : {static_cast<QWidget*>(textLabel), static_cast<QWidget*>(bar)})
        w->setAccessibleDescription(w->objectName());
}

void OperationStatus::setText(const QString& text) {
    shown = text;
    textLabel->setText(text);
    textLabel->setToolTip(text);
}

void OperationStatus::showProgress(double done, const QString& left) {
    if (done < 0) {
        // Moving, without figures.
        bar->setRange(0, 0);
        bar->setFormat(left);
    } else {
        bar->setRange(0, 1000);
        bar->setValue(int(done * 1000 + 0.5));
        bar->setFormat(left.isEmpty() ? QStringLiteral("%p%")
                                      : QStringLiteral("%p% \u00b7 ") + left);
    }
    bar->show();
}

void OperationStatus::hideProgress() {
    bar->hide();
}
