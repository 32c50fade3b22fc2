#include "IntroductionPages.h"

#include "core/pipeline/ThreadHops.h"
#include "gui/support/ShadowWidget.h"
#include "ui_IntroductionCustomZipPage.h"
#include "ui_IntroductionDestinationsPage.h"
#include "ui_IntroductionQuickZipOptionsPage.h"
#include "ui_IntroductionQuickZipPage.h"
#include "ui_IntroductionTessaryOptionsPage.h"
#include "ui_IntroductionThankYouPage.h"

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

template class IntroductionStaticPage<Ui::IntroductionQuickZipOptionsPage>;
template class IntroductionStaticPage<Ui::IntroductionCustomZipPage>;
template class IntroductionStaticPage<Ui::IntroductionDestinationsPage>;
template class IntroductionStaticPage<Ui::IntroductionTessaryOptionsPage>;
template class IntroductionStaticPage<Ui::IntroductionThankYouPage>;

const QString IntroductionQuickZipPage::MoviePath = u":/intro/QuickZip.gif"_s;
const QString IntroductionQuickZipPage::StillPath = u":/intro/quickzip.png"_s;

IntroductionQuickZipPage::IntroductionQuickZipPage(QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::IntroductionQuickZipPage>())
    , m_movie(MoviePath)
    , m_shadow(new ShadowWidget(kShadowRadius, 0.0, kShadowOffsetY, this))
{
    m_ui->setupUi(this);
    m_shadow->lower();
    m_movie.setCacheMode(QMovie::CacheAll); // a short loop: decoded once
    if (m_movie.isValid())
        m_ui->playerView->setMovie(&m_movie);
    else
        m_ui->playerView->setPixmap(
            QPixmap(StillPath).scaled(m_ui->playerView->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    runOnMainThread(
        this, [this] { m_shadow->applyToView(m_ui->playerView); }, kShadowFitDelay);
}

IntroductionQuickZipPage::~IntroductionQuickZipPage() = default;

void IntroductionQuickZipPage::willBeDisplayed()
{
    m_ui->playerView->show();
    m_shadow->show();
    if (!m_movie.isValid())
        return;
    if (m_movie.state() == QMovie::Paused)
        m_movie.setPaused(false);
    else
        m_movie.start();
}

void IntroductionQuickZipPage::willBeDismissed()
{
    m_ui->playerView->hide();
    m_shadow->hide();
    if (m_movie.state() == QMovie::Running)
        m_movie.setPaused(true);
}
