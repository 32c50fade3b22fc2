#pragma once

#include "core/destinations/Destination.h"

// The windows that edit a Destination: the settings dialog of its kind, and the rename dialog,
// installed into each Destination by the owner of the list (Destination::setEditing()). What the
// user confirms is written into the Destination, which announces the change to the owner of the
// list (Destination::destinationDidChange()). Never run from inside the handler of the menu or
// button that asked for them.
class DestinationEditor final : public Destination::Editing
{
public:
    /// The settings dialog of the Destination's kind, run modally; the completion hears whether
    /// it was cancelled. A kind without settings completes with false at once. The Dropbox and
    /// FTP dialogs wait for the keychain's answer first, so their completion comes later.
    void configure(Destination &destination, const Destination::ConfigureCompletion &completion) override;
    /// The rename dialog, run modally.
    void rename(Destination &destination) override;
};
