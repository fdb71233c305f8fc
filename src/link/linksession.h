#pragma once

#include <functional>

class AddressInput;
class ChipControl;
class CommandAvailability;
class CommandFrame;
class CommandFrames;
class Commands;
class MediaPlayer;
class MemoryMap;
class PanelTexts;
class Prompter;
class StringGrid;
class ComPort;
struct LinkContext;

// What the chip operations, the recording and the reply handling work on:
// the window's state and the outside world, by reference.
struct LinkSession {
    CommandFrame& frame;
    CommandFrames& frames;
    ChipControl& chip;
    LinkContext& link;
    PanelTexts& panel;
    ComPort& port;
    MediaPlayer& player;
    StringGrid& fileGrid;
    StringGrid& mapGrid;
    MemoryMap& memoryMap;
    Commands& commands;
    CommandAvailability& availability;
    Prompter& prompter;
    AddressInput& address;
    // Brings the "ISD Memory Map" page to the front.
    std::function<void()> showMapPage;
};
