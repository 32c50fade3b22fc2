#include "DropAction.h"

#include "core/pipeline/ArchiveNaming.h"

#include <QDropEvent>
#include <QMimeData>

bool acceptDropAsCopy(QDropEvent *event)
{
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event->possibleActions().testFlag(action)) {
            event->setDropAction(action);
            event->accept();
            return true;
        }
    }
    event->ignore();
    return false;
}

bool acceptDragOfFiles(QDropEvent *event)
{
    if (ArchiveNaming::getsFileURLSFromDragOperation(event->mimeData()->urls()).isEmpty()) {
        event->ignore();
        return false;
    }
    return acceptDropAsCopy(event);
}
