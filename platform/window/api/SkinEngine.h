#pragma once

#include <QVariant>
#include <QVariantList>

namespace pellorin {

// The skin engine that gives the main window the look of a skin file. Like the
// component it replaces, it is driven by dispatch identifier: start-up names
// its members by number, not by name.
class SkinEngine {
public:
    // The members by dispatch identifier.
    enum DispatchId : int {
        // Property, 32-bit integer: apply options. Bit 0 lets the skin set
        // fonts and sizes (metrics) as well as colours.
        ApplyOptions = 1,
        // Method (skin file path, variant name): takes the skin from the file.
        LoadSkin = 2,
        // Method (the window, as a QObject pointer): applies the skin to that
        // window and its controls.
        ApplyWindow = 3,
        // Property, truth value: windows that the program opens later (message
        // boxes, dialogs) take the skin too.
        AutoApplyNewWindows = 5,
        // Property, truth value: windows of other threads take the skin too.
        AutoApplyNewThreads = 10,
    };

    virtual ~SkinEngine() = default;

    // Calls method `id` with `arguments` and returns its result.
    virtual QVariant invoke(int id, const QVariantList& arguments) = 0;

    // Reads property `id`; an unknown one reads as an invalid QVariant.
    virtual QVariant getProperty(int id) = 0;

    // Writes property `id`; an unknown one is ignored.
    virtual void putProperty(int id, const QVariant& value) = 0;
};

} // namespace pellorin
