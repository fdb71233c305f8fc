#include "programstate.h"

#include "core/configfile.h"
#include "core/tablelayout.h"
#include "link/comport.h"

ProgramState::ProgramState(ComPort& port_, MediaPlayer* player_, Prompter& prompter_)
    : port(port_), player(player_), prompter(prompter_), handlers(prompter_),
      chip(panel, frame, port_), availability(commands, fileGrid, mapGrid) {
    QObject::connect(&commands, &Commands::triggered, &commands,
                     [this](Handler handler) { handlers.run(handler); });
}

void ProgramState::setUp(const QString& configPath) {
    link.CurrentAddress = 0;
    link.ReplyAddress = 0;
    frame.clear();
    link.LinkState = LinkContext::StateIdle;

    TableLayout::setUp(fileGrid, TableLayout::fileHeaders());
    TableLayout::setUp(mapGrid, TableLayout::mapHeaders());

    folders = RememberedFolders();
    listFileName.clear();
    if (const auto lines = ConfigFile::readLines(6, configPath)) {
        folders.SoundFolder = lines->value(3);
        folders.ListFolder = lines->value(4);
        folders.MapFolder = lines->value(5);
    }

    availability.applyStartState();

    link.IgnorePlayEnd = false;
    link.StopRequested = true;
    link.PowerSetting = 0;
    link.TableRow = 1;
    // The sound file dialog starts on all sound files.
    soundFileType = 0;

    frame.fillFF();
}

QStringList ProgramState::settingsLines(bool autoOpen) const {
    return {ConfigFile::header(),
            QString::number(port.PortNum()),
            QString::number(chip.ChipType),
            folders.SoundFolder,
            folders.ListFolder,
            folders.MapFolder,
            autoOpen ? QStringLiteral("1") : QStringLiteral("0")};
}
