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
    return gTessary != nullptr ? gTessary->log() : Tessary::LogHandler();
}
