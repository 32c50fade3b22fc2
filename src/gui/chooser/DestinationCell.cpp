#include "DestinationCell.h"

#include "DestinationChooserView.h"
#include "DestinationView.h"

DestinationCell::DestinationCell(QWidget *parent)
    : QWidget(parent)
    , m_destinationView(new DestinationView(this))
{
    // Each report goes to the grid with this cell, while there is a grid.
    const auto relay = [this](void (DestinationChooserView::*report)(DestinationCell *)) {
        return [this, report] {
            if (m_owningChooserView)
                (m_owningChooserView->*report)(this);
        };
    };
    connect(m_destinationView, &DestinationView::destinationViewDidHaveDeleteSelected, this,
        relay(&DestinationChooserView::destinationCellDidHaveDeleteSelected));
    connect(m_destinationView, &DestinationView::destinationViewDidBecomeHilited, this,
        relay(&DestinationChooserView::destinationCellDidBecomeHilited));
    connect(m_destinationView, &DestinationView::destinationViewDidBecomeUnhilited, this,
        relay(&DestinationChooserView::destinationCellDidBecomeUnhilited));
    connect(m_destinationView, &DestinationView::destinationViewDidReceiveDrag, this,
        [this](DestinationView *, const QList<QUrl> &urls) {
            if (m_owningChooserView)
                m_owningChooserView->destinationCellDidReceiveDrag(this, urls);
        });
    connect(m_destinationView, &DestinationView::destinationViewDidReceiveMouseDown, this,
        relay(&DestinationChooserView::destinationCellDidReceiveMouseDown));
}

Destination *DestinationCell::destination() const
{
    return m_destinationView->destination();
}

void DestinationCell::setDestination(Destination *destination)
{
    m_destinationView->setDestination(destination);
}

void DestinationCell::setHilite(bool hilite)
{
    m_destinationView->setHilite(hilite);
}

void DestinationCell::showConfigureButtons(bool show)
{
    m_destinationView->showConfigureButtons(show);
}

void DestinationCell::prepareForDeletionWithCompletion(const std::function<void()> &completion)
{
    m_destinationView->prepareForDeletionWithCompletion(completion);
}

void DestinationCell::resizeEvent(QResizeEvent *)
{
    m_destinationView->setGeometry(rect());
}
