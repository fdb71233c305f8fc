#include "clioptions.h"

#include "chips/chipcatalogue.h"
#include "chips/chipcontrol.h"
#include "cliaddressinput.h"
#include "core/configfile.h"
#include "files/outputdevices.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

struct Named {
    const char* name;
    CliOptions::Command command;
};
const Named commands[] = {
    {"record", CliOptions::Command::Record}, {"verify", CliOptions::Command::Verify},
    {"scan", CliOptions::Command::Scan},     {"erase", CliOptions::Command::Erase},
    {"play", CliOptions::Command::Play},     {"chips", CliOptions::Command::Chips},
    {"ports", CliOptions::Command::Ports},   {"outputs", CliOptions::Command::Outputs},
};

QString squeezed(const QString& text) {
    QString out;
    for (QChar c : text) {
        if (!c.isSpace() && c != QLatin1Char('-'))
            out += c.toLower();
    }
    return out;
}

// "1" to "50", or a chip's name as the window's bottom panel shows it
// ("ISD 33060", "isd4002-120"), with or without "ISD".
bool chipFrom(const QString& text, int& type, QString& error) {
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    // Numbers beyond the catalogue may be the chip's own ("33060").
    if (isNumber && number <= ChipCatalogue::Count) {
        if (ChipCatalogue::find(number) == nullptr) {
            error = QStringLiteral("--chip %1: the chip types are numbered 1 to %2 (see "
                                   "isdvokar-cli chips)")
                        .arg(text)
                        .arg(ChipCatalogue::Count);
            return false;
        }
        type = number;
        return true;
    }
    QString wanted = squeezed(text);
    if (!wanted.startsWith(QLatin1String("isd")))
        wanted.prepend(QLatin1String("isd"));
    QStringList matches;
    for (int index = 1; index <= ChipCatalogue::Count; ++index) {
        const QString name = QString::fromLatin1(ChipCatalogue::find(index)->name);
        if (squeezed(name) == wanted) {
            type = index;
            return true;
        }
        if (squeezed(name).startsWith(wanted))
            matches << name;
    }
    if (matches.size() == 1) {
        for (int index = 1; index <= ChipCatalogue::Count; ++index) {
            if (QString::fromLatin1(ChipCatalogue::find(index)->name) == matches.first())
                type = index;
        }
        return true;
    }
    error = matches.isEmpty()
                ? QStringLiteral("--chip %1: no such chip type (see isdvokar-cli chips)").arg(text)
                : QStringLiteral("--chip %1 could be any of: %2")
                      .arg(text, matches.join(QStringLiteral(", ")));
    return false;
}

bool portFrom(const QString& text, QString& port, QString& error) {
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int number = trimmed.mid(3).toInt(&ok);
        if (!ok || number < 1) {
            error =
                QStringLiteral("%1 is no port: give COMn (n from 1) or a device path").arg(text);
            return false;
        }
        port = QStringLiteral("COM%1").arg(number);
        return true;
    }
    if (trimmed.isEmpty()) {
        error = QStringLiteral("an empty port: give COMn or a device path");
        return false;
    }
    port = trimmed;
    return true;
}

bool outputFrom(const QString& name, CliOptions::Pair& pair, QString& error) {
    pair.outputName = name;
    if (name.isEmpty())
        return true;
    QString why;
    const std::optional<OutputDevices::Output> output = OutputDevices::match(name, why);
    if (!output) {
        QStringList known;
        for (const OutputDevices::Output& o : OutputDevices::list())
            known << o.label();
        error = why + (known.isEmpty() ? QStringLiteral(" (no sound outputs found)")
                                       : QStringLiteral(". Sound outputs: ") +
                                             known.join(QStringLiteral("; ")));
        return false;
    }
    pair.output = output->id;
    return true;
}

} // namespace

QString CliOptions::commandName(Command command) {
    for (const Named& named : commands) {
        if (named.command == command)
            return QString::fromLatin1(named.name);
    }
    return QString();
}

bool CliOptions::parse(const QCoreApplication& app, QString& error) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Programs ISD chips in VOKAR-1 programmers without the window: one programmer, or "
        "several at once with \"gang\".\n\n"
        "Commands:\n"
        "  record LIST.lsp     record the list's files into the chip, then verify them\n"
        "  verify LIST.lsp     check the chip's records against the list\n"
        "  scan                the messages in the chip (-o MAP.mpp writes a map file)\n"
        "  erase               erase the chip (asks first unless --yes)\n"
        "  play ADDRESS        play the chip from ADDRESS\n"
        "  chips               the chip types\n"
        "  ports               the serial devices present, as COMn\n"
        "  outputs             the sound outputs, for --audio-device and --pair\n"
        "  gang --pair PORT=OUTPUT ... record|verify|erase ...\n"
        "                      several programmers at once, each with its own sound output\n\n"
        "Exit codes: 0 done (and verified), 1 verify found a difference, 2 usage, 3 no "
        "programmer or no chip, 4 line or device fault, 5 file problem."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do."));
    parser.addPositionalArgument(QStringLiteral("argument"),
                                 QStringLiteral("The list, or the address to play from."),
                                 QStringLiteral("[argument]"));
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("The programmer's port: COMn as the window numbers them, or a device "
                       "path. Default: the window's port from isdvokar.fig."),
        QStringLiteral("COMn|DEVICE"));
    const QCommandLineOption chipOption(
        QStringLiteral("chip"),
        QStringLiteral("The chip type: its number (see chips) or name. Default: the window's "
                       "type from isdvokar.fig."),
        QStringLiteral("NUMBER|NAME"));
    const QCommandLineOption audioOption(
        QStringLiteral("audio-device"),
        QStringLiteral("The sound output the files play to: its id or description (see "
                       "outputs). Default: the output chosen in the window's Setup > Sound "
                       "output, else the default output."),
        QStringLiteral("NAME"));
    const QCommandLineOption pairOption(
        QStringLiteral("pair"),
        QStringLiteral("gang: a programmer and its sound output; once for each programmer."),
        QStringLiteral("PORT=OUTPUT"));
    const QCommandLineOption yesOption(QStringLiteral("yes"),
                                       QStringLiteral("erase: no question first."));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
                                        QStringLiteral("One result object on standard output."));
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("Every frame, with its time, into FILE."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption outOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                       QStringLiteral("scan: write the map to MAP.mpp."),
                                       QStringLiteral("MAP.mpp"));
    const QCommandLineOption repeatOption(
        QStringLiteral("repeat"),
        QStringLiteral("record: a production run; after each chip wait for the next."));
    const QCommandLineOption autoNextOption(
        QStringLiteral("auto-next"),
        QStringLiteral("--repeat: start when a new chip is in the socket instead of on Enter."));
    const QCommandLineOption countOption(QStringLiteral("count"),
                                         QStringLiteral("--repeat: stop after N chips."),
                                         QStringLiteral("N"));
    const QCommandLineOption csvOption(
        QStringLiteral("csv"),
        QStringLiteral("--repeat: the production log. Default: isdvokar-production.csv."),
        QStringLiteral("FILE"), QStringLiteral("isdvokar-production.csv"));
    const QCommandLineOption timeoutOption(
        QStringLiteral("timeout"),
        QStringLiteral("Seconds the programmer may be silent while it works (a scan gets the "
                       "time to skip the chip on top). Default: 5."),
        QStringLiteral("SECONDS"), QStringLiteral("5"));
    const QCommandLineOption pollOption(
        QStringLiteral("poll-ms"),
        QStringLiteral("--auto-next: milliseconds between asking for a chip. Default: 1000."),
        QStringLiteral("MS"), QStringLiteral("1000"));
    for (const QCommandLineOption& option :
         {portOption, chipOption, audioOption, pairOption, yesOption, jsonOption, logOption,
          outOption, repeatOption, autoNextOption, countOption, csvOption, timeoutOption,
          pollOption})
        parser.addOption(option);
    parser.process(app);

    QStringList words = parser.positionalArguments();
    if (!words.isEmpty() && words.first() == QLatin1String("gang")) {
        gang = true;
        words.removeFirst();
    }
    if (words.isEmpty()) {
        error = QStringLiteral("no command given (see isdvokar-cli --help)");
        return false;
    }
    const QString verb = words.takeFirst();
    for (const Named& named : commands) {
        if (verb == QLatin1String(named.name))
            command = named.command;
    }
    if (command == Command::None) {
        error = QStringLiteral("%1 is no command (see isdvokar-cli --help)").arg(verb);
        return false;
    }
    const bool takesArgument =
        command == Command::Record || command == Command::Verify || command == Command::Play;
    if (takesArgument && words.size() != 1) {
        error = command == Command::Play ? QStringLiteral("play wants one ADDRESS")
                                         : QStringLiteral("%1 wants one LIST.lsp").arg(verb);
        return false;
    }
    if (!takesArgument && !words.isEmpty()) {
        error =
            QStringLiteral("%1 takes no argument (%2 is one too many)").arg(verb, words.first());
        return false;
    }
    if (command == Command::Play)
        address = words.first();
    else if (takesArgument)
        list = words.first();

    yes = parser.isSet(yesOption);
    json = parser.isSet(jsonOption);
    logFile = parser.value(logOption);
    mapFile = parser.value(outOption);
    repeat = parser.isSet(repeatOption);
    autoNext = parser.isSet(autoNextOption);
    csvFile = parser.value(csvOption);
    bool ok = false;
    const double seconds = parser.value(timeoutOption).toDouble(&ok);
    if (!ok || seconds <= 0) {
        error = QStringLiteral("--timeout wants seconds above 0");
        return false;
    }
    timeoutMs = int(seconds * 1000);
    pollMs = parser.value(pollOption).toInt(&ok);
    if (!ok || pollMs < 50) {
        error = QStringLiteral("--poll-ms wants 50 or more");
        return false;
    }
    if (parser.isSet(countOption)) {
        count = parser.value(countOption).toInt(&ok);
        if (!ok || count < 1) {
            error = QStringLiteral("--count wants a number of chips from 1");
            return false;
        }
    }
    if ((autoNext || parser.isSet(countOption)) && !repeat) {
        error = QStringLiteral("--auto-next and --count go with --repeat");
        return false;
    }
    if (repeat && command != Command::Record) {
        error = QStringLiteral("--repeat goes with record");
        return false;
    }
    if (!mapFile.isEmpty() && command != Command::Scan) {
        error = QStringLiteral("-o goes with scan");
        return false;
    }

    // The window's settings give the defaults: its port and chip type.
    const std::optional<QStringList> settings = ConfigFile::readLines(3);
    chipType = settings ? ChipControl::chipTypeFromSetting(settings->value(2)) : 1;
    if (parser.isSet(chipOption) && !chipFrom(parser.value(chipOption), chipType, error))
        return false;

    if (command == Command::Play &&
        !CliAddressInput::valid(address, ChipCatalogue::find(chipType)->lastAddress)) {
        error = QStringLiteral("Wrong address ! %1 is no address of the %2 (0 to %3)")
                    .arg(address, QString::fromLatin1(ChipCatalogue::find(chipType)->name))
                    .arg(ChipCatalogue::find(chipType)->lastAddress);
        return false;
    }

    if (gang) {
        if (command != Command::Record && command != Command::Verify && command != Command::Erase) {
            error = QStringLiteral("gang runs record, verify or erase");
            return false;
        }
        if (parser.isSet(portOption) || parser.isSet(audioOption)) {
            error = QStringLiteral("gang takes its ports and outputs from --pair");
            return false;
        }
        const QStringList given = parser.values(pairOption);
        if (given.isEmpty()) {
            error = QStringLiteral("gang wants a --pair PORT=OUTPUT for each programmer");
            return false;
        }
        for (const QString& text : given) {
            const qsizetype eq = text.indexOf(QLatin1Char('='));
            Pair pair;
            if (!portFrom(eq < 0 ? text : text.left(eq), pair.port, error) ||
                !outputFrom(eq < 0 ? QString() : text.mid(eq + 1), pair, error))
                return false;
            for (const Pair& earlier : pairs) {
                if (earlier.port == pair.port) {
                    error = QStringLiteral("%1 is paired twice").arg(pair.port);
                    return false;
                }
                // Each programmer would record the other's sound as well.
                if (command == Command::Record && earlier.output == pair.output) {
                    error = QStringLiteral("%1 and %2 would play to the same sound output (%3): "
                                           "each programmer needs one of its own")
                                .arg(earlier.port, pair.port,
                                     pair.output.isEmpty() ? QStringLiteral("the default")
                                                           : QString::fromUtf8(pair.output));
                    return false;
                }
            }
            pairs << pair;
        }
        return true;
    }
    if (parser.isSet(pairOption)) {
        error = QStringLiteral("--pair goes with gang");
        return false;
    }
    Pair pair;
    if (parser.isSet(portOption)) {
        if (!portFrom(parser.value(portOption), pair.port, error))
            return false;
    } else {
        const int number = settings ? ConfigFile::parseDecimal(settings->value(1)).value_or(1) : 1;
        pair.port = QStringLiteral("COM%1").arg(qMax(1, number));
    }
    const bool plays = command == Command::Record || command == Command::Play;
    if (plays) {
        if (parser.isSet(audioOption)) {
            if (!outputFrom(parser.value(audioOption), pair, error))
                return false;
        } else {
            pair.output = OutputDevices::savedChoice();
        }
    }
    pairs << pair;
    return true;
}
