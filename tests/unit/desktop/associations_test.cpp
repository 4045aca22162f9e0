// File associations written to and restored from temporary XDG folders, and
// checked the way the desktop reads them (xdg-mime).
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/general.h"
#include "desktop/associations.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

class Associations : public ::testing::Test {
 protected:
  void SetUp() override {
    paths.configHome = dir.filePath(QStringLiteral("config"));
    paths.dataHome = dir.filePath(QStringLiteral("data"));
    // xdg-mime reports only entries whose program exists.
    paths.program = dir.filePath(QStringLiteral("bin/cantorel"));
    test::writeAll(paths.program, "#!/bin/sh\n");
    QFile::setPermissions(paths.program,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
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
    EXPECT_TRUE(p.waitForFinished(20000)) << "xdg-mime did not answer";
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
  for (const QString &type : {QStringLiteral("audio/mpeg"), QStringLiteral("video/mpeg")})
    EXPECT_EQ(queryDefault(type), QStringLiteral("cantorel.desktop")) << type.toStdString();
  QString text = mimeApps();
  EXPECT_TRUE(text.startsWith(QStringLiteral("# my own notes\n")));
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

// The installed entry is the one the program writes, for the program on the
// search path.
TEST(ShippedDesktopEntry, IsWhatTheProgramWrites) {
  EXPECT_EQ(QString::fromUtf8(
                test::readAll(test::sourceDir() + QStringLiteral("/data/applications/cantorel.desktop"))),
            FileAssociations::desktopEntryText(QStringLiteral("cantorel")));
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
TEST_F(Associations, CheckAsksAndRegistersAsSet) {
  const struct {
    const char *name;
    qint16 autoRegistry, askForIt;
    bool answer;
    AssociationCheck outcome;
    bool asked, written;
  } cases[] = {{"Off", 0, 1, true, AssociationCheck::Off, false, false},
               {"AskedYes", 1, 1, true, AssociationCheck::Registered, true, true},
               {"AskedNo", 1, 1, false, AssociationCheck::Declined, true, false},
               {"WithoutAsking", 1, 0, false, AssociationCheck::Registered, false, true}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    writeMimeApps("[Default Applications]\naudio/x-mpegurl=other.desktop\n");
    const QByteArray before = test::readAll(paths.mimeAppsList());
    FileAssociations assoc(paths);
    General g;
    g.AutoRegistry = c.autoRegistry;
    g.AskForIt = c.askForIt;
    int asked = 0;
    const auto outcome = CheckAssociations(g, assoc, [&](const QString &, const QString &) {
      ++asked;
      return c.answer;
    });
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(asked, c.asked ? 1 : 0);
    EXPECT_EQ(test::readAll(paths.mimeAppsList()) != before, c.written);
  }
}

}  // namespace
}  // namespace cantorel
