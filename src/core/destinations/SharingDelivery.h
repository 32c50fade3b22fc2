#pragma once

#include "Destination.h"
#include "SharingServices.h"

// What the kinds that hand archives to a sharing service have in common.
namespace SharingDelivery {
/// The archive's name as the texts show it: its file name without ".zip".
QString archiveName(const QString &archivePath);
} // namespace SharingDelivery
