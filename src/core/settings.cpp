#include "core/settings.h"

#include <algorithm>
#include <variant>

#include "core/log.h"
#include "core/number_text.h"
#include "core/text_codec.h"

namespace cantorel {

namespace {

enum class Form { Text, Spaced, Plain };

struct Setting {
  const char *key;
  Form form;
  const char *def;  // default in stored text form
  std::variant<QString General::*, qint16 General::*> field;
};

// Load order; the save order is kSaveOrder below.
const Setting kSettings[] = {
    {"Path", Form::Text, "", &General::Path},
    {"WinOnTop", Form::Spaced, "0", &General::WinOnTop},
    {"WinSnap", Form::Spaced, "0", &General::WinSnap},
    {"WinSavePos", Form::Spaced, "0", &General::WinSavePos},
    {"Auto", Form::Spaced, "0", &General::Auto},
    {"Snooze", Form::Spaced, "0", &General::Snooze},
    {"SnoozeMode", Form::Spaced, "0", &General::SnoozeMode},
    {"SnoozeTime", Form::Text, "23:59", &General::SnoozeTime},
    {"SnoozeHide", Form::Spaced, "0", &General::SnoozeHide},
    {"ExitMode", Form::Spaced, "0", &General::ExitMode},
    {"StartMd", Form::Spaced, "0", &General::StartMd},
    {"StartMin", Form::Spaced, "0", &General::StartMin},
    {"StartMute", Form::Spaced, "0", &General::StartMute},
    {"StartFile", Form::Text, "", &General::StartFile},
    {"Skin", Form::Text, "", &General::Skin},
    {"SkinPath", Form::Text, "", &General::SkinPath},
    {"SkinImport", Form::Text, "", &General::SkinImport},
    {"TimeFmt", Form::Spaced, "0", &General::TimeFmt},
    {"VisPLPath", Form::Text, "", &General::VisPLPath},
    // Read as "ClearPLFirst", written as "ClearPlFirst": the same key.
    {"ClearPLFirst", Form::Plain, "0", &General::ClearPLFirst},
    {"AutoPlay", Form::Plain, "0", &General::AutoPlay},
    {"ValidExt", Form::Text, "mp2 mp3 mpa wav mid rmi", &General::ValidExt},
    {"PBOverlap", Form::Plain, "0", &General::PBOverlap},
    {"ScrollName", Form::Plain, "0", &General::ScrollName},
    {"UseTagCover", Form::Plain, "0", &General::UseTagCover},
    {"FriendlyNames", Form::Plain, "1", &General::FriendlyNames},
    {"AutoRegistry", Form::Plain, "1", &General::AutoRegistry},
    {"AskForIt", Form::Plain, "1", &General::AskForIt},
    {"ShowArtist", Form::Plain, "1", &General::ShowArtist},
    {"ShowAlbum", Form::Plain, "0", &General::ShowAlbum},
    {"LyricPath", Form::Text, "", &General::LyricPath},
    // The hand-off text of a second instance, as found at start.
    {"OtherFile", Form::Text, "", &General::LastCommandLine},
    {"SubmitLyric", Form::Plain, "1", &General::SubmitLyric},
    {"TypeLyric", Form::Plain, "0", &General::TypeLyric},
    {"Nick", Form::Text, "", &General::Nick},
    {"Pwd", Form::Text, "", &General::Pwd},
    {"TimeIntro", Form::Plain, "10", &General::TimeIntro},
    {"Language", Form::Text, "ENGLISH", &General::Language},
    {"Transparency", Form::Plain, "255", &General::Transparency},
    // Looking up a lyric online when none is on disk, and where.
    {"LyricOnline", Form::Plain, "1", &General::LyricOnline},
    {"LyricOnlineURL", Form::Text, "https://lrclib.net", &General::LyricOnlineURL},
    // The news message already shown stays "seen" until a new one arrives.
    {"MsgRemote", Form::Text, "", &General::MsgRemoteSeen},
};

const char *const kSaveOrder[] = {
    "Skin",         "SkinPath",    "SkinImport",  "WinOnTop",      "WinSnap",      "WinSavePos",
    "Auto",         "Snooze",      "SnoozeMode",  "SnoozeTime",    "SnoozeHide",   "ExitMode",
    "StartMd",      "StartMin",    "StartMute",   "StartFile",     "TimeFmt",      "VisPLPath",
    "ClearPlFirst", "AutoPlay",    "ValidExt",    "PBOverlap",     "ScrollName",   "UseTagCover",
    "FriendlyNames", "AutoRegistry", "AskForIt",  "ShowArtist",    "ShowAlbum",    "LyricPath",
    "SubmitLyric",  "TypeLyric",   "Nick",        "Pwd",           "TimeIntro",    "Language",
    "Transparency", "LyricOnline", "LyricOnlineURL"};
// Every setting is saved here except "Path" and "OtherFile" (written when they
// change) and "MsgRemote" (written after the table, from `MsgRemoteSeen`).
static_assert(std::size(kSaveOrder) + 3 == std::size(kSettings), "save order and table out of step");

const Setting *find(const QString &key) {
  for (const Setting &s : kSettings)
    if (key.compare(QLatin1String(s.key), Qt::CaseInsensitive) == 0) return &s;
  return nullptr;
}

QString stored(Form form, qint16 v) { return form == Form::Spaced ? spacedInt(v) : plainInt(v); }

}  // namespace

QString Settings::text(const QString &k, const QString &def) const {
  return store_.value(kPrg, kSect, k, def);
}

bool Settings::setText(const QString &k, const QString &value) {
  return store_.setValue(kPrg, kSect, k, value);
}

qint16 Settings::int16(const QString &k, qint16 def) const {
  if (!store_.contains(kPrg, kSect, k)) return def;
  return toInt16(text(k));
}

Settings::Position Settings::load(General &g, Position currentPos) {
  for (const Setting &s : kSettings) {
    const QString k = QLatin1String(s.key);
    const QString raw = text(k, QLatin1String(s.def));
    if (auto p = std::get_if<QString General::*>(&s.field)) {
      g.*(*p) = raw;
    } else {
      g.*(std::get<qint16 General::*>(s.field)) = toInt16(raw);
    }
  }
  // Every text file read after this point is decoded with the user's page.
  const QString page = text(key::LegacyCodePage, QLatin1String(kDefaultLegacyCodePage));
  if (!setLegacyCodePage(page))
    qCWarning(lcSettings).noquote() << "unknown code page" << page << "- using" << kDefaultLegacyCodePage;
  Position pos;
  pos.x = store_.contains(kPrg, kSect, key::X) ? toInt32(text(key::X)) : currentPos.x;
  pos.y = store_.contains(kPrg, kSect, key::Y) ? toInt32(text(key::Y)) : currentPos.y;
  return pos;
}

bool Settings::save(const General &g, const ExitValues &exit) {
  bool ok = true;
  {
  SettingsStore::Batch batch(store_);
  for (const char *name : kSaveOrder) {
    const QString k = QLatin1String(name);
    const Setting *s = find(k);
    if (auto p = std::get_if<QString General::*>(&s->field)) {
      setText(k, g.*(*p));
    } else {
      setText(k, stored(s->form, g.*(std::get<qint16 General::*>(s->field))));
    }
  }
  setText(key::MsgRemote, g.MsgRemoteSeen);
  setText(key::Instalado, kInstalledMark);
  if (exit.writePosition) {
    setText(key::X, singleText(exit.x));
    setText(key::Y, singleText(exit.y));
  }
  setText(key::LastCover, exit.lastCover);
  setText(key::LastTrack, spacedInt(exit.lastTrack));
  if (exit.volume >= 0) setText(key::Volume, spacedInt(std::clamp(exit.volume, 0, 100)));
  if (exit.balance >= 0) setText(key::Balance, spacedInt(std::clamp(exit.balance, 0, 100)));
  }
  ok = store_.lastError().isEmpty();
  return ok;
}

double Settings::fraction(const QString &k) const {
  if (!store_.contains(kPrg, kSect, k)) return -1;
  bool ok = false;
  const int v = text(k).trimmed().toInt(&ok);
  return ok ? std::clamp(v, 0, 100) / 100.0 : -1;
}

QStringList Settings::loadOrder() {
  QStringList out;
  for (const Setting &s : kSettings) out << QLatin1String(s.key);
  out << key::Instalado << key::X << key::Y;
  return out;
}

QStringList Settings::saveOrder() {
  QStringList out;
  for (const char *k : kSaveOrder) out << QLatin1String(k);
  out << key::MsgRemote << key::Instalado << key::X << key::Y << key::LastCover << key::LastTrack
      << key::Volume << key::Balance;
  return out;
}

}  // namespace cantorel
