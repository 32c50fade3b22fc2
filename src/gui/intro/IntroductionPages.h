#pragma once

#include "IntroductionViewControllerProtocol.h"

#include <QMovie>
#include <QWidget>

#include <memory>

class ShadowView;

namespace Ui {
class IntroductionQuickZipController;
class IntroductionQuickZipOptionsController;
class IntroductionCustomZipController;
class IntroductionDestinationsController;
class IntroductionTessaryOptionsController;
class IntroductionThankYouController;
} // namespace Ui

// A page that only shows what its .ui file holds: a title, a picture of the program and a text.
template <typename Form> class IntroductionStaticPage final : public QWidget, public IntroductionViewControllerProtocol
{
public:
    explicit IntroductionStaticPage(QWidget *parent = nullptr);
    ~IntroductionStaticPage() override;

    void willBeDisplayed() override { }
    void willBeDismissed() override { }

private:
    std::unique_ptr<Form> m_ui;
};

using IntroductionQuickZipOptionsController = IntroductionStaticPage<Ui::IntroductionQuickZipOptionsController>;
using IntroductionCustomZipController = IntroductionStaticPage<Ui::IntroductionCustomZipController>;
using IntroductionDestinationsController = IntroductionStaticPage<Ui::IntroductionDestinationsController>;
using IntroductionTessaryOptionsController = IntroductionStaticPage<Ui::IntroductionTessaryOptionsController>;
using IntroductionThankYouController = IntroductionStaticPage<Ui::IntroductionThankYouController>;

// The first page: a quick zip as the user makes it, a demonstration movie of the real program
// that plays muted and loops, over a soft shadow. It plays while the page is shown and pauses
// while it is not; where the movie cannot be read, a still picture of the program takes its place.
class IntroductionQuickZipController final : public QWidget, public IntroductionViewControllerProtocol
{
    Q_OBJECT

public:
    static const QString MoviePath;
    static const QString StillPath;

    explicit IntroductionQuickZipController(QWidget *parent = nullptr);
    ~IntroductionQuickZipController() override;

    void willBeDisplayed() override;
    void willBeDismissed() override;

    /// Null where the movie could not be read.
    QMovie *movie() { return m_movie.isValid() ? &m_movie : nullptr; }

private:
    std::unique_ptr<Ui::IntroductionQuickZipController> m_ui;
    QMovie m_movie;
    ShadowView *m_shadowView;
};
