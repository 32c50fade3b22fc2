#pragma once

#include "IntroductionPage.h"

#include <QMovie>
#include <QWidget>

#include <memory>

class ShadowWidget;

namespace Ui {
class IntroductionQuickZipPage;
class IntroductionQuickZipOptionsPage;
class IntroductionCustomZipPage;
class IntroductionDestinationsPage;
class IntroductionTessaryOptionsPage;
class IntroductionThankYouPage;
} // namespace Ui

// A page that only shows what its .ui file holds: a title, a picture of the program and a text.
template <typename Form> class IntroductionStaticPage final : public QWidget, public IntroductionPage
{
public:
    explicit IntroductionStaticPage(QWidget *parent = nullptr);
    ~IntroductionStaticPage() override;

    void willBeDisplayed() override { }
    void willBeDismissed() override { }

private:
    std::unique_ptr<Form> m_ui;
};

using IntroductionQuickZipOptionsPage = IntroductionStaticPage<Ui::IntroductionQuickZipOptionsPage>;
using IntroductionCustomZipPage = IntroductionStaticPage<Ui::IntroductionCustomZipPage>;
using IntroductionDestinationsPage = IntroductionStaticPage<Ui::IntroductionDestinationsPage>;
using IntroductionTessaryOptionsPage = IntroductionStaticPage<Ui::IntroductionTessaryOptionsPage>;
using IntroductionThankYouPage = IntroductionStaticPage<Ui::IntroductionThankYouPage>;

// The first page: a quick zip as the user makes it, a demonstration movie of the real program
// that plays muted and loops, over a soft shadow. It plays while the page is shown and pauses
// while it is not; where the movie cannot be read, a still picture of the program takes its place.
class IntroductionQuickZipPage final : public QWidget, public IntroductionPage
{
    Q_OBJECT

public:
    static const QString MoviePath;
    static const QString StillPath;

    explicit IntroductionQuickZipPage(QWidget *parent = nullptr);
    ~IntroductionQuickZipPage() override;

    void willBeDisplayed() override;
    void willBeDismissed() override;

    /// Null where the movie could not be read.
    QMovie *movie() { return m_movie.isValid() ? &m_movie : nullptr; }

private:
    std::unique_ptr<Ui::IntroductionQuickZipPage> m_ui;
    QMovie m_movie;
    ShadowWidget *m_shadow;
};
