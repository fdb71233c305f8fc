#include "core/controlnames.h"
#include "core/mediaplayer.h"
#include "link/comport.h"
#include "link/operationestimate.h"
#include "link/serialcomport.h"
#include "mainwindow.h"
#include "playbackstatus.h"
#include "reopenoffer.h"
#include "statusreporter.h"
#include "widgets/operationstatus.h"
#include "wiring.h"

#include <QDateTime>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <memory>

namespace {

// How often the progress bar moves while nothing else happens.
constexpr int ProgressTickMs = 250;

QString connectedText(ComPort& port) {
    const auto* serial = qobject_cast<SerialComPort*>(&port);
    const QString device = serial != nullptr ? serial->deviceName() : QString();
    QString text = QStringLiteral("Connected to COM%1").arg(port.PortNum());
    if (!device.isEmpty())
        text += QStringLiteral(" (%1)").arg(device);
    return text;
}

// The progress bar of recordings, scans and checks: moved after every
// command and reply, and on a clock while one runs.
void wireProgress(MainWindow& window, OperationStatus& status) {
    ProgramState& s = window.state();
    auto lengthMs = [&window](const QString& path) -> std::optional<qint64> {
        return window.soundLengthMs(path);
    };
    const auto estimate = std::make_shared<OperationEstimate>(
        OperationEstimate::Sources{s.link, s.chip, s.fileGrid},
        [] { return QDateTime::currentMSecsSinceEpoch(); }, lengthMs);
    auto* tick = new QTimer(&status);
    tick->setInterval(ProgressTickMs);
    const auto refresh = [estimate, &status, tick] {
        const OperationEstimate::Estimate now = estimate->update();
        if (!now.shown) {
            status.hideProgress();
            tick->stop();
            return;
        }
        status.showProgress(now.done,
                            now.leftMs >= 0 ? OperationEstimate::leftText(now.leftMs) : QString());
        if (!tick->isActive())
            tick->start();
    };
    QObject::connect(tick, &QTimer::timeout, &status, refresh);
    QObject::connect(&s.port, &ComPort::OnRxChar, &status, refresh);
    QObject::connect(&s.commands, &Commands::triggered, &status, refresh);
}

// Bytes the line brought that were no part of a reply: shown once there are
// any, beside the link's text.
void wireLineNoise(QStatusBar& bar, StatusReporter& reporter) {
    auto* noise = new QLabel(&bar);
    noise->setObjectName(QStringLiteral("LineNoise"));
    noise->setToolTip(QStringLiteral("Bytes on the serial line that were no part of a reply from "
                                     "the programmer. The replies were taken all the same."));
    noise->hide();
    bar.addPermanentWidget(noise);
    QObject::connect(&reporter, &StatusReporter::noiseNoted, noise, [noise](const QString& note) {
        noise->setText(note);
        noise->setVisible(!note.isEmpty());
    });
}

} // namespace

void wireStatus(MainWindow& window) {
    // A permanent part of the bar: a menu's or a button's hint never covers
    // it. It comes first and takes most of the bar; the plan's verdict and
    // other texts sit beside it.
    ProgramState& s = window.state();
    QStatusBar* bar = window.statusBar();
    auto* status = new OperationStatus(bar);
    bar->insertPermanentWidget(0, status, 1);
    const auto say = [status](const QString& text) { status->setText(text); };
    new ReopenOffer(s.port, s.panel, *bar, say, &window);
    wireProgress(window, *status);
    if (s.player != nullptr) {
        // The length of the file being recorded, when the plan has measured it.
        auto duration = [&window, &s]() -> qint64 {
            return window.soundLengthMs(s.player->FileName).value_or(0);
        };
        auto* reporter = new StatusReporter({s.link, s.chip, s.fileGrid, s.mapGrid, *s.player},
                                            s.port, duration, say, &window);
        // Connected after the window's own routing, so the command has run.
        QObject::connect(&s.commands, &Commands::triggered, reporter,
                         &StatusReporter::afterCommand);
        wireLineNoise(*bar, *reporter);
        auto* playback = new PlaybackStatus(
            *s.player, s.link,
            [&window](const QString& path) { return window.soundLengthMs(path); }, say, &window);
        QObject::connect(&s.commands, &Commands::triggered, playback,
                         &PlaybackStatus::afterCommand);
    }
    // Opened or closed: said at once, whatever else the bar said before.
    ComPort& port = s.port;
    QObject::connect(&port, &ComPort::activeChanged, status, [say, &port](bool active) {
        say(active ? connectedText(port) : QStringLiteral("Not connected"));
    });
    if (port.Active())
        say(connectedText(port));
}
