#include "files/player.h"
#include "mainwindow.h"
#include "reopenoffer.h"
#include "statusreporter.h"
#include "wiring.h"

#include <QLabel>
#include <QStatusBar>

void wireStatus(MainWindow& window) {
    // A label rather than the bar's own message: a menu's or a button's hint
    // covers it only while the pointer is there, and it comes back after.
    ProgramState& s = window.state();
    QStatusBar* bar = window.statusBar();
    auto* label = new QLabel(bar);
    label->setObjectName(QStringLiteral("LinkStatus"));
    // A long text is cut, never widens the window: the tables' column widths
    // follow the window's width.
    label->setMinimumWidth(1);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    // It shares the bar with the plan's verdict; what runs comes first. The
    // tool tip holds a text the bar has to cut.
    bar->addWidget(label, 6);
    const auto say = [label](const QString& text) {
        label->setText(text);
        label->setToolTip(text);
    };
    new ReopenOffer(s.port, s.panel, *bar, say, &window);
    if (s.player == nullptr)
        return;
    // The length of the file being recorded, when the real player has it.
    auto* player = qobject_cast<Player*>(s.player);
    auto duration = [player]() -> qint64 {
        return player != nullptr ? player->durationUSecs() / 1000 : 0;
    };
    auto* reporter = new StatusReporter({s.link, s.chip, s.fileGrid, s.mapGrid, *s.player}, s.port,
                                        duration, say, &window);
    // Connected after the window's own routing, so the command has run.
    QObject::connect(&s.commands, &Commands::triggered, reporter, &StatusReporter::afterCommand);
    // Bytes the line brought that were no part of a reply: shown once there
    // are any, beside the link's text.
    auto* noise = new QLabel(bar);
    noise->setObjectName(QStringLiteral("LineNoise"));
    noise->setToolTip(QStringLiteral("Bytes on the serial line that were no part of a reply from "
                                     "the programmer. The replies were taken all the same."));
    noise->hide();
    bar->addPermanentWidget(noise);
    QObject::connect(reporter, &StatusReporter::noiseNoted, noise, [noise](const QString& note) {
        noise->setText(note);
        noise->setVisible(!note.isEmpty());
    });
}
