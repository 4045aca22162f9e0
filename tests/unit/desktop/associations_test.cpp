// File associations written to and restored from temporary XDG folders, and
// checked the way the desktop reads them (xdg-mime).
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/general.h"
#include "desktop/associations.h"
#include "prefs/message_ids.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

class Associations : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    paths.configHome = dir.filePath(QStringLiteral("config"));
    paths.dataHome = dir.filePath(QStringLiteral("data"));
    // xdg-mime reports only entries whose program exists.
    paths.program = dir.filePath(QStringLiteral("bin/cantorel"));
    QDir().mkpath(dir.filePath(QStringLiteral("bin")));
    test::writeAll(paths.program, "#!/bin/sh\n");
    QFile::setPermissions(paths.program,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QDir().mkpath(paths.dataHome + QStringLiteral("/applications"));
    QDir().mkpath(paths.configHome);
    // Other players the user had before.
    for (const char *name : {"other.desktop", "third.desktop"}) {
      test::writeAll(paths.dataHome + QStringLiteral("/applications/") + QLatin1String(name),
                     "[Desktop Entry]\nType=Application\nName=Other\nExec=true %f\n");
    }
  }

  // What the desktop reports as the default for `type`, asking xdg-mime with
  // only our temporary folders in view.
  QString queryDefault(const QString &type) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
      env.remove(QString::fromLatin1(name));
    const QString none = dir.filePath(QStringLiteral("none"));
    const QString vars[][2] = {{QStringLiteral("XDG_CONFIG_HOME"), paths.configHome},
                               {QStringLiteral("XDG_DATA_HOME"), paths.dataHome},
                               {QStringLiteral("XDG_CONFIG_DIRS"), none},
                               {QStringLiteral("XDG_DATA_DIRS"), none},
                               {QStringLiteral("DE"), QStringLiteral("generic")}};
    for (const auto &v : vars) env.insert(v[0], v[1]);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!p.waitForFinished(20000)) {
      p.kill();
      p.waitForFinished(2000);
      ADD_FAILURE() << "xdg-mime did not answer";
      return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
  }

  QString mimeApps() const { return QString::fromUtf8(test::readAll(paths.mimeAppsList())); }
  void writeMimeApps(const QByteArray &text) { test::writeAll(paths.mimeAppsList(), text); }

  QTemporaryDir dir;
  AssociationPaths paths;
};

const QByteArray kUserFile =
    "# my own notes\n"
    "[Default Applications]\n"
    "text/plain=gedit.desktop\n"
    "audio/mpeg=other.desktop;\n"
    "\n"
    "[Added Associations]\n"
    "audio/mpeg=other.desktop;\n"
    "[Removed Associations]\n"
    "video/mpeg=third.desktop;\n";

// Registering makes every type ours and keeps the rest of the user's file;
// restoring puts back what was there, except what the user chose meanwhile.
TEST_F(Associations, RegisterThenRestore) {
  writeMimeApps(kUserFile);
  FileAssociations assoc(paths);
  QString error;
  ASSERT_TRUE(assoc.RegisterAll(&error)) << error.toStdString();
  // Registering again (every start-up without asking) keeps the first backup.
  ASSERT_TRUE(assoc.RegisterAll());
  for (const QString &type :
       {QStringLiteral("audio/mpeg"), QStringLiteral("audio/x-wav"), QStringLiteral("video/mpeg"),
        QStringLiteral("audio/midi"), QStringLiteral("audio/x-mpegurl")}) {
    EXPECT_EQ(queryDefault(type), QStringLiteral("cantorel.desktop")) << type.toStdString();
  }
  QString text = mimeApps();
  EXPECT_TRUE(
      text.startsWith(QStringLiteral("# my own notes\n[Default Applications]\ntext/plain=gedit.desktop\n")));
  EXPECT_TRUE(
      text.contains(QStringLiteral("[Added Associations]\naudio/mpeg=cantorel.desktop;other.desktop;\n")));
  EXPECT_TRUE(text.contains(QStringLiteral("[Removed Associations]\nvideo/mpeg=third.desktop;\n")));
  for (const QString &ext : FileAssociations::examinedExtensions()) EXPECT_TRUE(assoc.IsAssociated(ext));
  EXPECT_EQ(assoc.unassociatedList(), QStringLiteral(" for "));

  // The user picks another program for one type in between: that stays.
  text.replace(QStringLiteral("audio/x-wav=cantorel.desktop;"), QStringLiteral("audio/x-wav=third.desktop;"));
  writeMimeApps(text.toUtf8());
  ASSERT_TRUE(assoc.restore(&error)) << error.toStdString();
  EXPECT_EQ(queryDefault(QStringLiteral("audio/mpeg")), QStringLiteral("other.desktop"));
  EXPECT_EQ(queryDefault(QStringLiteral("audio/x-wav")), QStringLiteral("third.desktop"));
  // The file as before, with the choice the user made meanwhile (a type
  // that had no default of the user's gets none again).
  EXPECT_EQ(mimeApps(), QString::fromUtf8(kUserFile).replace(QStringLiteral("audio/mpeg=other.desktop;\n"),
                                                             QStringLiteral("audio/mpeg=other.desktop;\n"
                                                                            "audio/x-wav=third.desktop;\n")));
  EXPECT_FALSE(QFile::exists(paths.backupFile()));
  // Nothing left to restore is not a failure.
  EXPECT_TRUE(assoc.restore());
}

TEST_F(Associations, DesktopEntryHasPlayAndEnqueueAndValidates) {
  paths.program = QStringLiteral("/opt/my player/bin/cantorel");
  paths.icon = QStringLiteral("/opt/my player/share/cantorel/icons/cantorel.png");
  FileAssociations assoc(paths);
  ASSERT_TRUE(assoc.RegisterAll());
  const QString entry = QString::fromUtf8(test::readAll(paths.desktopEntry()));
  EXPECT_TRUE(entry.contains(QStringLiteral("Actions=Play;Enqueue;")));
  EXPECT_TRUE(entry.contains(QStringLiteral("Exec=\"/opt/my player/bin/cantorel\" /ADD %f\n")));
  EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=/opt/my player/share/cantorel/icons/cantorel.png\n")));
  EXPECT_TRUE(entry.contains(QStringLiteral("audio/mpeg;")));
  EXPECT_TRUE(entry.contains(QStringLiteral("audio/x-mpegurl;")));
  const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
  if (validate.isEmpty()) GTEST_SKIP() << "desktop-file-validate is not installed";
  QProcess p;
  p.start(validate, {paths.desktopEntry()});
  ASSERT_TRUE(p.waitForFinished(20000));
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardOutput().toStdString();
}

// The installed entry is the one the program writes, for the program on the
// search path.
TEST(ShippedDesktopEntry, IsWhatTheProgramWrites) {
  EXPECT_EQ(QString::fromUtf8(
                test::readAll(test::sourceDir() + QStringLiteral("/data/applications/cantorel.desktop"))),
            FileAssociations::desktopEntryText(QStringLiteral("cantorel")));
}

TEST_F(Associations, ListKeptElsewhereThroughALinkStaysALink) {
  const QString real = dir.filePath(QStringLiteral("dotfiles/mimeapps.list"));
  QDir().mkpath(dir.filePath(QStringLiteral("dotfiles")));
  test::writeAll(real, kUserFile);
  ASSERT_TRUE(QFile::link(real, paths.mimeAppsList()));
  FileAssociations assoc(paths);
  ASSERT_TRUE(assoc.RegisterAll());
  EXPECT_TRUE(QFileInfo(paths.mimeAppsList()).isSymLink());
  EXPECT_TRUE(test::readAll(real).contains("audio/mpeg=cantorel.desktop;"));
  ASSERT_TRUE(assoc.restore());
  EXPECT_TRUE(QFileInfo(paths.mimeAppsList()).isSymLink());
  EXPECT_EQ(test::readAll(real), kUserFile);
}

TEST_F(Associations, UnreadableUserFileIsLeftAlone) {
  const QByteArray latin1 = "[Default Applications]\naudio/mpeg=caf\xe9.desktop\n";
  writeMimeApps(latin1);
  FileAssociations assoc(paths);
  QString error;
  EXPECT_FALSE(assoc.RegisterAll(&error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(test::readAll(paths.mimeAppsList()), latin1);
}

// The start-up check: settings, the question and its answer.
struct CheckCase {
  const char *name;
  qint16 autoRegistry;
  qint16 askForIt;
  bool answer;
  bool alreadyOurs;
  AssociationCheck outcome;
  bool asked;
  bool written;
};

class CheckFlow : public Associations, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckFlow, AsksAndRegistersAsSet) {
  const CheckCase &c = GetParam();
  FileAssociations assoc(paths);
  // The playlist type is someone else's in every case.
  if (c.alreadyOurs) {
    ASSERT_TRUE(assoc.RegisterAll());
    QString text = mimeApps();
    text.replace(QStringLiteral("audio/x-mpegurl=cantorel.desktop;"),
                 QStringLiteral("audio/x-mpegurl=other.desktop;"));
    writeMimeApps(text.toUtf8());
  } else {
    writeMimeApps("[Default Applications]\naudio/x-mpegurl=other.desktop\n");
  }
  const QByteArray before = test::readAll(paths.mimeAppsList());

  General g;
  g.AutoRegistry = c.autoRegistry;
  g.AskForIt = c.askForIt;
  g.Messages[msg::AssocQuestionFirst] = QStringLiteral("Not the default player");
  g.Messages[msg::AssocQuestionLast] = QStringLiteral("OK to change");
  g.Messages[msg::AssocTitle] = QStringLiteral("File Associations");
  int asked = 0;
  QString title, text;
  const auto outcome = CheckAssociations(g, assoc, [&](const QString &t, const QString &x) {
    ++asked;
    title = t;
    text = x;
    return c.answer;
  });
  EXPECT_EQ(outcome, c.outcome);
  EXPECT_EQ(asked, c.asked ? 1 : 0);
  if (c.asked) {
    EXPECT_EQ(title, QStringLiteral("File Associations"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Not the default player\n for .mp3 .mp2 .wav ")));
    EXPECT_TRUE(text.endsWith(QStringLiteral(" .asf .asx files\nOK to change")));
    EXPECT_FALSE(text.contains(QStringLiteral(".dat")));
  }
  EXPECT_EQ(test::readAll(paths.mimeAppsList()) != before, c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, CheckFlow,
    ::testing::Values(
        CheckCase{"Off", 0, 1, true, false, AssociationCheck::Off, false, false},
        CheckCase{"AskedYes", 1, 1, true, false, AssociationCheck::Registered, true, true},
        CheckCase{"AskedNo", 1, 1, false, false, AssociationCheck::Declined, true, false},
        // Only the playlist type is someone else's: it is not examined.
        CheckCase{"AllExaminedOurs", 1, 1, true, true, AssociationCheck::NothingToDo, false, false},
        CheckCase{"WithoutAsking", 1, 0, false, false, AssociationCheck::Registered, false, true},
        // Without asking, every start registers again (the playlist type too).
        CheckCase{"WithoutAskingAgain", 1, 0, false, true, AssociationCheck::Registered, false, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Associations, QuestionListsOnlyTheExtensionsNotOurs) {
  FileAssociations assoc(paths);
  ASSERT_TRUE(assoc.RegisterAll());
  QString text = mimeApps();
  text.replace(QStringLiteral("audio/mpeg=cantorel.desktop;"), QStringLiteral("audio/mpeg=other.desktop;"));
  text.replace(QStringLiteral("audio/x-wav=cantorel.desktop;"), QStringLiteral("audio/x-wav=other.desktop;"));
  writeMimeApps(text.toUtf8());
  // ".mpa" is MPEG audio too, so it shares the type of ".mp3".
  EXPECT_EQ(assoc.unassociatedList(), QStringLiteral(" for .mp3 .wav .mpa "));
}

}  // namespace
}  // namespace cantorel
