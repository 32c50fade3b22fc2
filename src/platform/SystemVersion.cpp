#include "SystemVersion.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QStringList>
#include <QSysInfo>

using namespace Qt::Literals::StringLiterals;

void SystemVersion::systemVersionMajor(qint16 *major, qint16 *minor, qint16 *revision)
{
    versionFromText(QSysInfo::kernelVersion(), major, minor, revision);
}

void SystemVersion::versionFromText(const QString &text, qint16 *major, qint16 *minor, qint16 *revision)
{
    const QList<qint16 *> answers {major, minor, revision};
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    const auto word = std::find_if(words.cbegin(), words.cend(), [](const QString &w) { return w.contains(u'.'); });
    if (word == words.cend()) {
        const qint16 defaults[] = {10, 8, 0};
        for (qsizetype i = 0; i < answers.size(); ++i)
            if (answers.at(i) != nullptr)
                *answers.at(i) = defaults[i];
        return;
    }
    // Each part that is there, as the number it starts with ("0-13-amd64" is 0).
    static const QRegularExpression leadingNumber(u"^\\d+"_s);
    const QStringList parts = word->split(u'.');
    for (qsizetype i = 0; i < answers.size() && i < parts.size(); ++i)
        if (answers.at(i) != nullptr)
            *answers.at(i) = static_cast<qint16>(leadingNumber.match(parts.at(i)).captured().toInt());
}

QString SystemVersion::systemVersionString()
{
    qint16 major = 10;
    qint16 minor = 8;
    systemVersionMajor(&major, &minor, nullptr);
    return u"%1.%2"_s.arg(major).arg(minor);
}

bool SystemVersion::canShowDropPad()
{
    return QGuiApplication::platformName() == u"xcb"_s;
}
