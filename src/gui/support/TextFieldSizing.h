#pragma once

class QPlainTextEdit;

/// Keeps a multi-line text field as tall as its lines, between minimumLines and maximumLines
/// (beyond which it scrolls), so that a field for one line looks like one and grows as lines are
/// added.
void fitTextFieldToItsLines(QPlainTextEdit *field, int minimumLines, int maximumLines);
