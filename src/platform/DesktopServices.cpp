#include "DesktopServices.h"

#include "DesktopSharing.h"
#include "SecretServiceKeychain.h"

void DesktopServices::install()
{
    static SecretServiceKeychain keychain;
    static DesktopSharing sharing;
    KeychainBackend::setSystem(&keychain);
    SharingServices::setInstance(&sharing);
}
