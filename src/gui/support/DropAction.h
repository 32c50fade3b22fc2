#pragma once

class QDropEvent;

/// Accepts a drag or a drop as a copy (or as a link where the source offers no copy), so that the
/// source never deletes what it handed over, as it would after a move; refuses it where the
/// source offers neither. True when accepted.
bool acceptDropAsCopy(QDropEvent *event);
