// Editing a mimeapps.list keeps every line we do not touch as it was.
#include <gtest/gtest.h>

#include "desktop/mimeapps_list.h"

namespace cantorel {
namespace {

TEST(MimeAppsList, UntouchedFileIsWrittenBackByteForByte) {
  for (const char *in : {"", "# comment\r\n[Added Associations]\r\nimage/png=a.desktop;b.desktop;\r\n",
                         "no group yet\n=odd\n[x]\nkey = spaced value  \n[x]\nkey=again",
                         "[Default Applications]\naudio/mpeg=\xc3\xa9t\xc3\xa9.desktop;\n\n\n"}) {
    MimeAppsList list;
    ASSERT_TRUE(list.parse(in));
    EXPECT_EQ(list.toBytes(), QByteArray(in));
  }
}

// Setting a value changes only that entry, or adds it at the end of its group.
TEST(MimeAppsList, SetValueChangesOnlyTheEntry) {
  const char *cases[][2] = {
      {"[Default Applications]\nimage/png=eog.desktop\naudio/mpeg = vlc.desktop;\nx/y=z\n",
       "[Default Applications]\nimage/png=eog.desktop\naudio/mpeg=cantorel.desktop;\nx/y=z\n"},
      {"[Default Applications]\r\naudio/mpeg=vlc.desktop\r\n",
       "[Default Applications]\r\naudio/mpeg=cantorel.desktop;\r\n"},
      {"[Default Applications]\nimage/png=eog.desktop\n\n[Added Associations]\naudio/mpeg=vlc.desktop;\n",
       "[Default Applications]\nimage/png=eog.desktop\naudio/mpeg=cantorel.desktop;\n\n"
       "[Added Associations]\naudio/mpeg=vlc.desktop;\n"},
      // The same key in another group stays.
      {"[Removed Associations]\naudio/mpeg=vlc.desktop\n",
       "[Removed Associations]\naudio/mpeg=vlc.desktop\n\n[Default "
       "Applications]\naudio/mpeg=cantorel.desktop;\n"}};
  const QString defaults = QStringLiteral("Default Applications");
  for (const auto &c : cases) {
    MimeAppsList list;
    ASSERT_TRUE(list.parse(QByteArray(c[0])));
    list.setValue(defaults, QStringLiteral("audio/mpeg"), QStringLiteral("cantorel.desktop;"));
    EXPECT_EQ(list.toBytes(), QByteArray(c[1]));
    EXPECT_EQ(list.value(defaults, QStringLiteral("audio/mpeg")), QStringLiteral("cantorel.desktop;"));
  }
}

TEST(MimeAppsList, RefusesWhatItCouldNotWriteBackUnchanged) {
  MimeAppsList list;
  EXPECT_FALSE(list.parse(QByteArray("[Default Applications]\naudio/mpeg=caf\xe9.desktop\n")));
  EXPECT_FALSE(list.parse(QByteArray("a=b\0c\n", 6)));
}

}  // namespace
}  // namespace cantorel
