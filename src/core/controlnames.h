#pragma once

// The control names of the windows, dialogs, tables and panel fields: each
// widget's objectName and accessible description, kept exactly as users'
// tools and scripts know them. The menu items and tool buttons have theirs in
// the command table (Commands::controls()); docs/NAMES.md lists them all with
// what they are. Code refers to these controls by the English names here.
namespace ControlName {

// Main window.
inline constexpr const char* MainWindow = "Formularz";
inline constexpr const char* Pages = "PageControl1";
inline constexpr const char* SoundFilesPage = "Strona1";
inline constexpr const char* MemoryMapPage = "Strona2";
inline constexpr const char* SoundFilesToolBar = "ToolBar1";
inline constexpr const char* MemoryMapToolBar = "ToolBar2";
inline constexpr const char* FileGrid = "ListaPlikow";
inline constexpr const char* MapGrid = "ListaNagran";
inline constexpr const char* Panel = "Panel1";
inline constexpr const char* StatusBar = "StatusBar1";
inline constexpr const char* FileMenu = "File1";
inline constexpr const char* AddressMenu = "Address1";
inline constexpr const char* RecordingMenu = "Recording1";
inline constexpr const char* IsdMenu = "ISD1";
inline constexpr const char* SetupMenu = "Setup1";
inline constexpr const char* PopupMenu = "PopupMenu";

// Added for everyday use; their names are English.
inline constexpr const char* ViewMenu = "ViewMenu";
inline constexpr const char* MemoryLegend = "MemoryLegend";
inline constexpr const char* OperationStatus = "OperationStatus";
inline constexpr const char* SerialLogWindow = "SerialLogWindow";

// The bottom panel's value labels.
inline constexpr const char* ChipNameLabel = "typ";
inline constexpr const char* TotalTimeLabel = "czas";
inline constexpr const char* AddressLabel = "adres";
inline constexpr const char* AddressHexLabel = "adreshex";
inline constexpr const char* TimeToEndLabel = "CzasDoKon";
inline constexpr const char* PortNumberLabel = "commportnum";

// Dialogs and windows besides the main window.
inline constexpr const char* PortDialog = "TPortDialog";
inline constexpr const char* ChipTypeDialog = "TUkladDialog";
inline constexpr const char* AddressDialog = "TOKAdresDlg";
inline constexpr const char* AboutWindow = "TAutor";

// Controls inside the dialogs.
inline constexpr const char* OkButton = "OKBtn";
inline constexpr const char* CancelButton = "CancelBtn";
inline constexpr const char* AddressPrompt = "MAdres";
inline constexpr const char* AddressEdit = "AdresIn";
inline constexpr const char* AutoOpenBox = "AutoComOpen";
// "com1check" .. "com6check", and "ISD1" .. "ISD50": the number goes for %1.
inline constexpr const char* PortButton = "com%1check";
inline constexpr const char* ChipTypeButton = "ISD%1";

// Setup > Sound output, which the window has beyond the classic controls.
inline constexpr const char* SoundOutputDialog = "SoundOutputDialog";
inline constexpr const char* SoundOutputList = "SoundOutputList";

} // namespace ControlName
