#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

// With VOKAR_SCREENSHOTS set to a folder, the widget is saved there as the
// documentation shows it (docs/*.png are made this way).
inline void screenshot(QWidget& widget, const QString& name) {
    const QString folder = qEnvironmentVariable("VOKAR_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QVERIFY(widget.grab().save(folder + QLatin1Char('/') + name));
}
