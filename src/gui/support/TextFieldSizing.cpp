#include "TextFieldSizing.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

void fitTextFieldToItsLines(QPlainTextEdit *field, int minimumLines, int maximumLines)
{
    const auto fit = [field, minimumLines, maximumLines] {
        // A plain text field's document counts its height in lines, wrapped ones included.
        const int documentLines = static_cast<int>(std::ceil(field->document()->size().height()));
        const int lines = std::clamp(documentLines, minimumLines, maximumLines);
        // Only lines beyond the most it shows call for a scroll bar.
        field->setVerticalScrollBarPolicy(
            documentLines > maximumLines ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        const QMargins margins = field->contentsMargins();
        const int documentMargin = static_cast<int>(std::ceil(field->document()->documentMargin()));
        field->setFixedHeight(
            lines * field->fontMetrics().lineSpacing() + 2 * documentMargin + margins.top() + margins.bottom());
    };
    QObject::connect(
        field->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, field, fit);
    fit();
}
