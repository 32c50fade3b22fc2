#pragma once

#include "core/destinations/Destination.h"

// The windows that edit a Destination: the settings dialog of its kind, and the rename dialog.
// What the user confirms is written into the Destination, which announces the change to the
// owner of the list (Destination::destinationDidChange()).
class DestinationEditor final
{
public:
    /// The settings dialog of the Destination's kind, run modally; the completion hears whether
    /// it was cancelled. A kind without settings completes with false at once. The Dropbox
    /// dialog waits for the keychain's answer first, so its completion comes later. Suits
    /// Destination::setConfigurator(). Never called from inside the handler of the menu or
    /// button that asked for it.
    static void configure(Destination &destination, const Destination::ConfigureCompletion &completion);
    /// The rename dialog, run modally.
    static void rename(Destination &destination);
};
