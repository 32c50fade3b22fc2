#include "DesktopEntryText.h"

using namespace Qt::Literals::StringLiterals;

QString DesktopEntryText::value(const QString &text)
{
    QString escaped = text;
    return escaped.replace(u'\\', u"\\\\"_s).replace(u'\n', u"\\n"_s).replace(u'\r', u"\\r"_s).replace(u'\t', u"\\t"_s);
}

QString DesktopEntryText::command(const QStringList &arguments, const QString &fieldCodes)
{
    QStringList quoted;
    for (QString argument : arguments) {
        argument.replace(u'\\', u"\\\\\\\\"_s)
            .replace(u'"', u"\\\\\""_s)
            .replace(u'`', u"\\\\`"_s)
            .replace(u'$', u"\\\\$"_s)
            .replace(u'%', u"%%"_s)
            .replace(u'\n', u"\\n"_s)
            .replace(u'\r', u"\\r"_s)
            .replace(u'\t', u"\\t"_s);
        quoted << u"\"%1\""_s.arg(argument);
    }
    if (!fieldCodes.isEmpty())
        quoted << fieldCodes;
    return quoted.join(u' ');
}
