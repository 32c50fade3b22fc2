#pragma once

// What every page of the introduction is told as the tour moves on.
class IntroductionPage
{
public:
    virtual ~IntroductionPage() = default;
    /// The page is about to be shown.
    virtual void willBeDisplayed() = 0;
    /// The page is about to be taken away.
    virtual void willBeDismissed() = 0;
};
