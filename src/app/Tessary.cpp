#include "Tessary.h"

Tessary *gTessary = nullptr;

Tessary::Tessary()
{
    gTessary = this;
}

Tessary::~Tessary()
{
    if (gTessary == this)
        gTessary = nullptr;
}

Tessary::LogHandler tessaryLog()
{
    if (gTessary == nullptr)
        return [](const QString &) {};
    return gTessary->log();
}
