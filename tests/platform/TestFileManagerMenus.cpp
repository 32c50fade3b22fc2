#include "TemporaryHome.h"
#include "TestFiles.h"

#include "platform/FileManagerMenus.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// Names the quoting of every kind of entry must keep whole.
const QStringList kNames {u"Place on the Desktop"_s, u"Tom's \"odd\" $HOME `x` \\ 100% name"_s, u"Photos/2024"_s};

QStringList linesOf(const QString &path)
{
    return QString::fromUtf8(readFile(path)).split(u'\n', Qt::SkipEmptyParts);
}

// The value of the key in the group of a desktop entry file.
QString valueOf(const QString &path, const QString &group, const QString &key)
{
    bool inGroup = false;
    for (const QString &line : linesOf(path)) {
        if (line.startsWith(u'['))
            inGroup = line == u'[' + group + u']';
        else if (inGroup && line.startsWith(key + u'='))
            return line.mid(key.size() + 1);
    }
    return {};
}
} // namespace

class TestFileManagerMenus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup() { m_home.reset(); }
    void dolphinRunsTheProgramWithEachName();
    void scriptsHandTheirFilesOver_data();
    void scriptsHandTheirFilesOver();
    void nemoActionsRunTheProgramWithEachName();
    void goneDestinationsLeaveAndTheUsersOwnEntriesStay();

private:
    /// What the program was last run with, one argument a line.
    QStringList recordedArguments() const { return linesOf(m_home->filePath(u"arguments"_s)); }
    /// Runs the command line a desktop would, from a menu entry with the Exec key, on the files.
    void launch(const QString &exec, const QStringList &files);

    std::optional<TemporaryHome> m_home;
    QString m_program;
};

void TestFileManagerMenus::init()
{
    m_home.emplace();
    // A program that writes down its arguments; a space in its path must survive too.
    m_program = m_home->filePath(u"bin dir/tessary"_s);
    QVERIFY(writeFile(m_program, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$HOME/arguments\"\n"));
    QVERIFY(QFile::setPermissions(m_program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(FileManagerMenus::write(m_program, kNames));
}

void TestFileManagerMenus::launch(const QString &exec, const QStringList &files)
{
    // GLib reads the Exec key as the desktop entry format says, as the file managers do.
    const QString entry = m_home->filePath(u"launch.desktop"_s);
    QVERIFY(writeFile(entry, u"[Desktop Entry]\nType=Application\nName=Launch\nExec=%1\n"_s.arg(exec).toUtf8()));
    QProcess validate;
    validate.start(u"desktop-file-validate"_s, {entry});
    QVERIFY(validate.waitForFinished());
    QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());
    QFile::remove(m_home->filePath(u"arguments"_s));
    QCOMPARE(QProcess::execute(u"gio"_s, QStringList {u"launch"_s, entry} + files), 0);
    QTRY_VERIFY(QFile::exists(m_home->filePath(u"arguments"_s)));
}

void TestFileManagerMenus::dolphinRunsTheProgramWithEachName()
{
    const QString send = FileManagerMenus::dolphinSendPath();
    QVERIFY(QFileInfo(send).isExecutable()); // Plasma runs no other
    QCOMPARE(valueOf(send, u"Desktop Entry"_s, u"X-KDE-Submenu"_s), u"Send with Tessary"_s);
    QCOMPARE(valueOf(send, u"Desktop Entry"_s, u"Actions"_s), u"destination0;destination1;destination2;"_s);
    const QStringList files {m_home->filePath(u"a b.txt"_s), m_home->filePath(u"-c"_s)};
    for (qsizetype i = 0; i < kNames.size(); ++i) {
        const QString action = u"Desktop Action destination%1"_s.arg(i);
        QCOMPARE(valueOf(send, action, u"Name"_s).replace(u"\\\\"_s, u"\\"_s), kNames.at(i));
        launch(valueOf(send, action, u"Exec"_s), files);
        QCOMPARE(recordedArguments(), QStringList({u"--destination"_s, kNames.at(i), u"--"_s}) + files);
    }
    const QString zip = FileManagerMenus::dolphinZipPath();
    QCOMPARE(valueOf(zip, u"Desktop Action zip"_s, u"Name"_s), u"Zip with Tessary…"_s);
    launch(valueOf(zip, u"Desktop Action zip"_s, u"Exec"_s), files);
    QCOMPARE(recordedArguments(), QStringList {u"--"_s} + files);
}

void TestFileManagerMenus::scriptsHandTheirFilesOver_data()
{
    QTest::addColumn<bool>("caja"); // the folders are known once the test's home is set
    QTest::newRow("Nautilus") << false;
    QTest::newRow("Caja") << true;
}

void TestFileManagerMenus::scriptsHandTheirFilesOver()
{
    QFETCH(bool, caja);
    const QString folder = caja ? FileManagerMenus::cajaScriptsPath() : FileManagerMenus::nautilusScriptsPath();
    // The file manager runs a script in the folder shown, with the names selected in it.
    const QStringList selected {u"a b.txt"_s, u"-c"_s, u"$(touch x)"_s};
    const QStringList scripts {u"Place on the Desktop"_s, u"Tom's \"odd\" $HOME `x` \\ 100% name"_s,
        u"Photos∕2024"_s}; // a slash cannot be in a file name
    QStringList sorted = scripts;
    sorted.sort();
    QCOMPARE(QDir(folder + u"/Send with Tessary"_s).entryList(QDir::Files, QDir::Name), sorted);
    for (qsizetype i = 0; i < scripts.size(); ++i) {
        QProcess script;
        script.setWorkingDirectory(m_home->path());
        script.start(folder + u"/Send with Tessary/"_s + scripts.at(i), selected);
        QVERIFY(script.waitForFinished() && script.exitCode() == 0);
        QCOMPARE(recordedArguments(), QStringList({u"--destination"_s, kNames.at(i), u"--"_s}) + selected);
    }
    QCOMPARE(QProcess::execute(folder + u"/Zip with Tessary…"_s, selected), 0);
    QCOMPARE(recordedArguments(), QStringList {u"--"_s} + selected);
    QVERIFY(!QFile::exists(m_home->filePath(u"x"_s)));
}

void TestFileManagerMenus::nemoActionsRunTheProgramWithEachName()
{
    // Nemo puts the files, quoted, in place of %F and runs the line as the shell would read it.
    const QString files = u"'/tmp/a b.txt' '/tmp/-c'"_s;
    for (qsizetype i = 0; i <= kNames.size(); ++i) {
        const QString action = i < kNames.size()
            ? FileManagerMenus::nemoActionsPath() + u"/tessary-send-%1.nemo_action"_s.arg(i)
            : FileManagerMenus::nemoActionsPath() + u"/tessary-zip.nemo_action"_s;
        QCOMPARE(valueOf(action, u"Nemo Action"_s, u"Selection"_s), u"notnone"_s);
        const QString exec
            = valueOf(action, u"Nemo Action"_s, u"Exec"_s).replace(u"%F"_s, files).replace(u"%%"_s, u"%"_s);
        QCOMPARE(QProcess::execute(u"/bin/sh"_s, {u"-c"_s, exec}), 0);
        const QStringList expected = i < kNames.size()
            ? QStringList {u"--destination"_s, kNames.at(i), u"--"_s, u"/tmp/a b.txt"_s, u"/tmp/-c"_s}
            : QStringList {u"--"_s, u"/tmp/a b.txt"_s, u"/tmp/-c"_s};
        QCOMPARE(recordedArguments(), expected);
    }
}

void TestFileManagerMenus::goneDestinationsLeaveAndTheUsersOwnEntriesStay()
{
    const QString nautilus = FileManagerMenus::nautilusScriptsPath();
    const QString nemo = FileManagerMenus::nemoActionsPath();
    QVERIFY(writeFile(nautilus + u"/my script"_s, "mine"));
    QVERIFY(writeFile(nemo + u"/mine.nemo_action"_s, "mine"));

    QVERIFY(FileManagerMenus::write(m_program, {kNames.first()}));
    QCOMPARE(QDir(nautilus + u"/Send with Tessary"_s).entryList(QDir::Files), QStringList {kNames.first()});
    QCOMPARE(QDir(nemo).entryList(QDir::Files, QDir::Name),
        (QStringList {u"mine.nemo_action"_s, u"tessary-send-0.nemo_action"_s, u"tessary-zip.nemo_action"_s}));
    QCOMPARE(valueOf(FileManagerMenus::dolphinSendPath(), u"Desktop Entry"_s, u"Actions"_s), u"destination0;"_s);

    FileManagerMenus::remove();
    QCOMPARE(QDir(nautilus).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot), QStringList {u"my script"_s});
    QCOMPARE(QDir(nemo).entryList(QDir::Files), QStringList {u"mine.nemo_action"_s});
    QVERIFY(!QFile::exists(FileManagerMenus::dolphinSendPath()));
    QVERIFY(!QFile::exists(FileManagerMenus::dolphinZipPath()));
    QVERIFY(!QFile::exists(FileManagerMenus::cajaScriptsPath() + u"/Zip with Tessary…"_s));
}

QTEST_GUILESS_MAIN(TestFileManagerMenus)
#include "TestFileManagerMenus.moc"
