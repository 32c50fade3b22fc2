#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class Destination;
class DestinationChooserView;
class DestinationView;

// One item of the Destination grid: holds a DestinationView, keeps it the item's size, and
// passes what happens on it to the grid that owns the item.
class DestinationCell final : public QWidget
{
    Q_OBJECT

public:
    explicit DestinationCell(QWidget *parent = nullptr);

    Destination *destination() const;
    void setDestination(Destination *destination);
    void setOwningChooserView(DestinationChooserView *chooser) { m_owningChooserView = chooser; }
    DestinationView *destinationView() const { return m_destinationView; }

    void setHilite(bool hilite);
    void showConfigureButtons(bool show);
    void prepareForDeletionWithCompletion(const std::function<void()> &completion);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<DestinationChooserView> m_owningChooserView;
    DestinationView *m_destinationView;
};
