#pragma once

#include <QString>
#include <QStringList>

// How text goes into a desktop entry file (the format of menu entries, autostart entries and
// file-manager service menus).
namespace DesktopEntryText {
/// A value of a string key: backslashes and line breaks escaped.
QString value(const QString &text);
/// An Exec key's command line, each argument quoted (and the field codes such as "%F" left as
/// they are): inside the quotes the characters special there get a backslash, every backslash is
/// doubled once more because the key is an escaped string, and a percent sign is doubled.
QString command(const QStringList &arguments, const QString &fieldCodes = {});
} // namespace DesktopEntryText
