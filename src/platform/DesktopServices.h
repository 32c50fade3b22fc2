#pragma once

// Puts this desktop's services behind the interfaces the engine uses: the Secret Service as the
// keychain, xdg-email and KDE Connect for sharing. The program does it once at start; tests that
// use the real services do it too.
class DesktopServices final
{
public:
    static void install();
};
