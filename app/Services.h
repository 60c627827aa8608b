#pragma once

namespace pellorin {

class SettingsStore;
class MessageBoxes;
class Clipboard;
class SaveDialog;
class Spreadsheet;
class SkinEngine;

// The platform services the main window works with, passed in so tests can
// substitute recording ones.
struct Services {
    SettingsStore& settings;
    MessageBoxes& messages;
    Clipboard& clipboard;
    SaveDialog& saveDialog;
    Spreadsheet& spreadsheet;
    SkinEngine& skin;
};

} // namespace pellorin
