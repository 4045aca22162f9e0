// Editing a mimeapps.list keeps every line we do not touch as it was.
#include <gtest/gtest.h>

#include "desktop/mimeapps_list.h"

namespace cantorel {
namespace {

const QString kDefaults = QStringLiteral("Default Applications");

class RoundTrip : public ::testing::TestWithParam<const char *> {};

TEST_P(RoundTrip, UntouchedFileIsWrittenBackByteForByte) {
  const QByteArray in(GetParam());
  MimeAppsList list;
  ASSERT_TRUE(list.parse(in));
  EXPECT_EQ(list.toBytes(), in);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RoundTrip,
    ::testing::Values("", "\n", "[Default Applications]\ntext/plain=gedit.desktop\n",
                      "# comment\r\n[Added Associations]\r\nimage/png=a.desktop;b.desktop;\r\n",
                      "no group yet\n=odd\n[x]\nkey = spaced value  \n[x]\nkey=again",
                      "[Default Applications]\naudio/mpeg=\xc3\xa9t\xc3\xa9.desktop;\n\n\n"));

struct SetCase {
  const char *name;
  const char *before;
  const char *after;
};

class SetValue : public ::testing::TestWithParam<SetCase> {};

TEST_P(SetValue, ChangesOnlyTheEntry) {
  MimeAppsList list;
  ASSERT_TRUE(list.parse(QByteArray(GetParam().before)));
  list.setValue(kDefaults, QStringLiteral("audio/mpeg"), QStringLiteral("cantorel.desktop;"));
  EXPECT_EQ(list.toBytes(), QByteArray(GetParam().after));
  EXPECT_EQ(list.value(kDefaults, QStringLiteral("audio/mpeg")), QStringLiteral("cantorel.desktop;"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetValue,
    ::testing::Values(
        SetCase{"Empty", "", "[Default Applications]\naudio/mpeg=cantorel.desktop;\n"},
        SetCase{"ReplacedInPlace",
                "[Default Applications]\nimage/png=eog.desktop\naudio/mpeg = vlc.desktop;\nx/y=z\n",
                "[Default Applications]\nimage/png=eog.desktop\naudio/mpeg=cantorel.desktop;\nx/y=z\n"},
        SetCase{"CrLfKept", "[Default Applications]\r\naudio/mpeg=vlc.desktop\r\n",
                "[Default Applications]\r\naudio/mpeg=cantorel.desktop;\r\n"},
        SetCase{"AddedAtEndOfGroupBeforeNextGroup",
                "[Default Applications]\nimage/png=eog.desktop\n\n[Added "
                "Associations]\naudio/mpeg=vlc.desktop;\n",
                "[Default Applications]\nimage/png=eog.desktop\naudio/mpeg=cantorel.desktop;\n\n"
                "[Added Associations]\naudio/mpeg=vlc.desktop;\n"},
        SetCase{"GroupAppended", "[Added Associations]\nimage/png=eog.desktop;",
                "[Added Associations]\nimage/png=eog.desktop;\n\n[Default Applications]\n"
                "audio/mpeg=cantorel.desktop;\n"},
        SetCase{"SameKeyInOtherGroupUntouched", "[Removed Associations]\naudio/mpeg=vlc.desktop\n",
                "[Removed Associations]\naudio/mpeg=vlc.desktop\n\n[Default Applications]\n"
                "audio/mpeg=cantorel.desktop;\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(MimeAppsList, ReadsKeysAndRemovesEveryCopy) {
  MimeAppsList list;
  ASSERT_TRUE(list.parse("[g]\na=1\nb=2\na=3\n[h]\na=9\n"));
  EXPECT_EQ(list.keys(QStringLiteral("g")), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
  bool found = false;
  EXPECT_EQ(list.value(QStringLiteral("g"), QStringLiteral("a"), &found), QStringLiteral("1"));
  EXPECT_TRUE(found);
  list.remove(QStringLiteral("g"), QStringLiteral("a"));
  EXPECT_EQ(list.toBytes(), QByteArray("[g]\nb=2\n[h]\na=9\n"));
  list.value(QStringLiteral("g"), QStringLiteral("a"), &found);
  EXPECT_FALSE(found);
}

TEST(MimeAppsList, EmptyGroupsGoNotOthers) {
  MimeAppsList list;
  ASSERT_TRUE(list.parse("[a]\nx=1\n\n[b]\n\n[c]\n# note\n[d]\ny=2\n\n[e]\n"));
  for (const char *g : {"a", "b", "c", "d", "e"}) list.removeGroupIfEmpty(QString::fromLatin1(g));
  EXPECT_EQ(list.toBytes(), QByteArray("[a]\nx=1\n[c]\n# note\n[d]\ny=2\n"));
}

TEST(MimeAppsList, RefusesWhatItCouldNotWriteBackUnchanged) {
  MimeAppsList list;
  EXPECT_FALSE(list.parse(QByteArray("[Default Applications]\naudio/mpeg=caf\xe9.desktop\n")));
  EXPECT_FALSE(list.parse(QByteArray("a=b\0c\n", 6)));
}

TEST(MimeAppsList, FirstDesktopFileOfAList) {
  EXPECT_EQ(firstDesktopFile(QStringLiteral(" a.desktop;b.desktop;")), QStringLiteral("a.desktop"));
  EXPECT_EQ(firstDesktopFile(QString()), QString());
}

}  // namespace
}  // namespace cantorel
