#pragma once

#include "fakeprompter.h"

#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <utility>

// Every message of a fake prompter in a box on the screen, as the user sees
// them: the box runs its own event loop, so replies go on arriving while it
// is open. Header only: it needs Qt Widgets, which the logic tests do not
// link.
struct MessageBoxes {
    // Runs once, with the first box open; the box closes after it.
    std::function<void()> whileOpen;

    explicit MessageBoxes(FakePrompter& prompter) {
        prompter.onMessage = [this](const QString& text) {
            QMessageBox box(QMessageBox::Information, QStringLiteral("isdvokar"), text);
            QTimer::singleShot(0, &box, [this, &box] {
                if (const std::function<void()> job = std::exchange(whileOpen, nullptr))
                    job();
                box.accept();
            });
            box.exec();
        };
    }
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;
};
