#pragma once

class QDropEvent;

/// Accepts a drag or a drop as a copy (or as a link where the source offers no copy), so that the
/// source never deletes what it handed over, as it would after a move; refuses it where the
/// source offers neither. True when accepted.
bool acceptDropAsCopy(QDropEvent *event);
/// The same for a drag that carries at least one file of this computer; anything else (a piece of
/// text, a web link) is refused, so that the pointer shows it cannot be dropped here.
bool acceptDragOfFiles(QDropEvent *event);
