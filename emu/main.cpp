#include "emulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

int intOption(const QCommandLineParser& parser, const QString& name, int fallback) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    return ok ? value : fallback;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vokar-emu"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Stand-in for the VOKAR-1 programmer on a pseudo-terminal."));
    parser.addHelpOption();
    const auto opt = [&](const char* name, const char* help, const char* value = nullptr,
                         const char* fallback = nullptr) {
        QCommandLineOption option(QString::fromLatin1(name), QString::fromLatin1(help));
        if (value != nullptr) {
            option.setValueName(QString::fromLatin1(value));
            if (fallback != nullptr)
                option.setDefaultValue(QString::fromLatin1(fallback));
        }
        parser.addOption(option);
    };
    opt("chip", "Chip in the socket: catalogue index 1 to 50.", "N", "1");
    opt("no-chip", "Leave the socket empty.");
    opt("time-scale", "Real time per chip time, e.g. 0.01 plays a minute in 0.6 s.", "F", "1");
    opt("progress-ms", "Chip time between progress reports.", "MS", "1000");
    opt("com", "Write the line COMn=<device> into the ports file.", "N");
    opt("ports-file", "Ports file for --com.", "PATH", "isdvokar.ports");
    opt("image", "Memory image file: loaded at start, kept up to date.", "PATH");
    opt("split", "Write each reply in pieces of N bytes.", "N");
    opt("split-pause", "Pause between pieces, real milliseconds.", "MS", "50");
    opt("pair", "Write replies two at a time.");
    opt("garbage", "Write N garbage bytes before every reply.", "N");
    opt("silent", "Swallow the n-th command: no action, no reply.", "N");
    opt("hangup-after", "Hang up after the n-th reply.", "N");
    opt("greet", "Announce with \";\" and the power digit when the port is opened.");
    opt("strict", "Judge every command frame; log each fault on a PROTOCOL: line.");
    opt("noise", "Stray bytes: the chance, 0 to 1, that a place on the line gets a burst.", "RATE");
    opt("noise-bytes", "The longest burst of stray bytes.", "N", "8");
    opt("seed", "Seed of the noise, to replay a run; printed at start.", "N");
    opt("repeat-unanswered",
        "Send a progress report again when it is not answered within MS real milliseconds.", "MS");
    opt("listen",
        "Hear the audio input from this PulseAudio source while recording; each row keeps its "
        "level.",
        "SOURCE");
    parser.process(app);

    Emulator::Options options;
    options.chip =
        parser.isSet(QStringLiteral("no-chip")) ? 0 : intOption(parser, QStringLiteral("chip"), 1);
    if (options.chip != 0 && VokarDevice::chipFor(options.chip).index == 0) {
        std::fputs("vokar-emu: --chip wants a catalogue index 1 to 50\n", stderr);
        return 2;
    }
    bool ok = false;
    options.timeScale = parser.value(QStringLiteral("time-scale")).toDouble(&ok);
    if (!ok || options.timeScale <= 0) {
        std::fputs("vokar-emu: --time-scale wants a number above 0\n", stderr);
        return 2;
    }
    options.progressMs = qMax(1, intOption(parser, QStringLiteral("progress-ms"), 1000));
    options.com = intOption(parser, QStringLiteral("com"), 0);
    options.portsFile = parser.value(QStringLiteral("ports-file"));
    options.imageFile = parser.value(QStringLiteral("image"));
    options.shaper.pieceSize = intOption(parser, QStringLiteral("split"), 0);
    options.shaper.piecePauseMs = intOption(parser, QStringLiteral("split-pause"), 50);
    options.shaper.pairFrames = parser.isSet(QStringLiteral("pair"));
    options.shaper.garbageBytes = intOption(parser, QStringLiteral("garbage"), 0);
    options.shaper.hangupAfterFrames = intOption(parser, QStringLiteral("hangup-after"), 0);
    options.silentCommand = intOption(parser, QStringLiteral("silent"), 0);
    options.greet = parser.isSet(QStringLiteral("greet"));
    options.strict = parser.isSet(QStringLiteral("strict"));
    if (parser.isSet(QStringLiteral("noise"))) {
        options.noiseRate = parser.value(QStringLiteral("noise")).toDouble(&ok);
        if (!ok || options.noiseRate <= 0 || options.noiseRate > 1) {
            std::fputs("vokar-emu: --noise wants a rate above 0 and at most 1\n", stderr);
            return 2;
        }
    }
    options.noiseBytes = qMax(1, intOption(parser, QStringLiteral("noise-bytes"), 8));
    if (parser.isSet(QStringLiteral("seed"))) {
        options.seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
        if (!ok) {
            std::fputs("vokar-emu: --seed wants a whole number from 0 to 4294967295\n", stderr);
            return 2;
        }
    } else {
        options.seed = QRandomGenerator::system()->generate();
    }
    options.repeatUnansweredMs = qMax(0, intOption(parser, QStringLiteral("repeat-unanswered"), 0));
    options.listenSource = parser.value(QStringLiteral("listen"));

    // SIGTERM and SIGINT end the stand-in through the event loop, so that
    // the memory image is written.
    if (::pipe(signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app,
                         [] { QCoreApplication::exit(0); });
        std::signal(SIGTERM, onSignal);
        std::signal(SIGINT, onSignal);
    }

    Emulator emulator(options);
    QString error;
    if (!emulator.start(error)) {
        std::fprintf(stderr, "vokar-emu: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    const int result = QCoreApplication::exec();
    emulator.finish();
    return result;
}
