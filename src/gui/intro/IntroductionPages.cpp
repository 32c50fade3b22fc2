#include "IntroductionPages.h"

#include "core/pipeline/ThreadHops.h"
#include "gui/support/ShadowView.h"
#include "ui_IntroductionCustomZipController.h"
#include "ui_IntroductionDestinationsController.h"
#include "ui_IntroductionQuickZipController.h"
#include "ui_IntroductionQuickZipOptionsController.h"
#include "ui_IntroductionTessaryOptionsController.h"
#include "ui_IntroductionThankYouController.h"

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr qreal kShadowRadius = 20.0;
constexpr qreal kShadowOffsetY = -10.0;
// The shadow is fitted once the page has its layout.
constexpr double kShadowFitDelay = 0.25;
} // namespace

template <typename Form>
IntroductionStaticPage<Form>::IntroductionStaticPage(QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Form>())
{
    m_ui->setupUi(this);
}

template <typename Form> IntroductionStaticPage<Form>::~IntroductionStaticPage() = default;

template class IntroductionStaticPage<Ui::IntroductionQuickZipOptionsController>;
template class IntroductionStaticPage<Ui::IntroductionCustomZipController>;
template class IntroductionStaticPage<Ui::IntroductionDestinationsController>;
template class IntroductionStaticPage<Ui::IntroductionTessaryOptionsController>;
template class IntroductionStaticPage<Ui::IntroductionThankYouController>;

const QString IntroductionQuickZipController::MoviePath = u":/intro/QuickZip.gif"_s;
const QString IntroductionQuickZipController::StillPath = u":/intro/quickzip.png"_s;

IntroductionQuickZipController::IntroductionQuickZipController(QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::IntroductionQuickZipController>())
    , m_movie(MoviePath)
    , m_shadowView(new ShadowView(kShadowRadius, 0.0, kShadowOffsetY, this))
{
    m_ui->setupUi(this);
    m_shadowView->lower();
    m_movie.setCacheMode(QMovie::CacheAll); // a short loop: decoded once
    if (m_movie.isValid())
        m_ui->playerView->setMovie(&m_movie);
    else
        m_ui->playerView->setPixmap(
            QPixmap(StillPath).scaled(m_ui->playerView->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    executeBlockOnMainThread(
        this, [this] { m_shadowView->applyToView(m_ui->playerView); }, kShadowFitDelay);
}

IntroductionQuickZipController::~IntroductionQuickZipController() = default;

void IntroductionQuickZipController::willBeDisplayed()
{
    m_ui->playerView->show();
    m_shadowView->show();
    if (!m_movie.isValid())
        return;
    if (m_movie.state() == QMovie::Paused)
        m_movie.setPaused(false);
    else
        m_movie.start();
}

void IntroductionQuickZipController::willBeDismissed()
{
    m_ui->playerView->hide();
    m_shadowView->hide();
    if (m_movie.state() == QMovie::Running)
        m_movie.setPaused(true);
}
