#pragma once

#include "fakeprompter.h"

#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <utility>

// A message box on the screen for every message, as the user sees them: the
// box runs its own event loop, so replies go on arriving while it is open.
// Header only: it needs Qt Widgets, which the logic tests do not link.
class BoxPrompter : public FakePrompter {
public:
    // Runs once, with the first box open; the box closes after it.
    std::function<void()> whileOpen;

    void showMessage(const QString& text) override {
        FakePrompter::showMessage(text);
        QMessageBox box(QMessageBox::Information, QStringLiteral("isdvokar"), text);
        QTimer::singleShot(0, &box, [this, &box] {
            if (const std::function<void()> job = std::exchange(whileOpen, nullptr))
                job();
            box.accept();
        });
        box.exec();
    }
};
