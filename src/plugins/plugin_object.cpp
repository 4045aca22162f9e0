#include "plugins/plugin_object.h"

#include <QMetaMethod>
#include <QMetaProperty>

#include <array>

#include "plugins/plugin_log.h"

namespace cantorel {

namespace {
constexpr int kMaxArgs = 10;  // what QMetaMethod::invoke takes
}

PluginObject::PluginObject(QString className, std::unique_ptr<QObject> object)
    : className_(std::move(className)), object_(std::move(object)) {}

PluginObject::~PluginObject() = default;

int PluginObject::findMethod(const char *member, int argc) const {
  if (!object_) return -1;
  if (argc < 0 || argc > kMaxArgs) return -1;
  // The playback tick asks for the position several times a second: the
  // answer for a name is looked up once (the object's members never change),
  // and finding it again copies nothing.
  QHash<QByteArray, int> &known = methods_[static_cast<size_t>(argc)];
  const auto it = known.constFind(QByteArray::fromRawData(member, qstrlen(member)));
  if (it != known.constEnd()) return it.value();
  const int index = scanMethods(member, argc);
  known.insert(QByteArray(member), index);
  return index;
}

int PluginObject::scanMethods(const char *member, int argc) const {
  const QMetaObject *mo = object_->metaObject();
  const QByteArray name(member);
  int loose = -1;
  for (int i = 0; i < mo->methodCount(); ++i) {
    const QMetaMethod m = mo->method(i);
    if (m.parameterCount() != argc || m.access() == QMetaMethod::Private) continue;
    if (m.name() == name) return i;
    // Member names were never case-sensitive for plug-in authors; accept a
    // different letter case when nothing matches exactly.
    if (loose < 0 && m.name().compare(name, Qt::CaseInsensitive) == 0) loose = i;
  }
  return loose;
}

bool PluginObject::has(const char *member, int argc) const {
  if (findMethod(member, argc) >= 0) return true;
  if (!object_ || argc > 1) return false;
  return object_->metaObject()->indexOfProperty(member) >= 0;
}

void PluginObject::warnOnce(const char *member, const QString &why) {
  const QByteArray key = QByteArray(member) + '/' + why.toUtf8();
  if (warned_.contains(key)) return;
  warned_.insert(key);
  qCWarning(lcPlugins).noquote() << className_ << "member" << QLatin1String(member) << why;
}

bool PluginObject::call(const char *member, const QVariantList &args, QVariant *result) {
  if (result) *result = QVariant();
  if (!object_) return false;
  if (args.size() > kMaxArgs) {
    warnOnce(member, QStringLiteral("called with too many arguments"));
    return false;
  }
  const int index = findMethod(member, static_cast<int>(args.size()));
  if (index < 0) {
    // A property of that name: read with no argument, write with one.
    const QMetaObject *mo = object_->metaObject();
    const int p = mo->indexOfProperty(member);
    if (p >= 0 && args.size() <= 1) {
      QMetaProperty prop = mo->property(p);
      if (args.isEmpty()) {
        if (result) *result = prop.read(object_.get());
        return true;
      }
      if (prop.write(object_.get(), args.first())) return true;
      warnOnce(member, QStringLiteral("refused the value"));
      return false;
    }
    warnOnce(member, QStringLiteral("is missing (%1 arguments)").arg(args.size()));
    return false;
  }

  const QMetaMethod m = object_->metaObject()->method(index);
  // Convert each argument to the declared type. QVariant parameters take the
  // value as it is.
  std::array<QVariant, kMaxArgs> storage;
  std::array<QGenericArgument, kMaxArgs> generic;
  for (int i = 0; i < static_cast<int>(args.size()); ++i) {
    const QMetaType type = m.parameterMetaType(i);
    if (!type.isValid()) {
      warnOnce(member, QStringLiteral("has an argument of an unknown type"));
      return false;
    }
    if (type.id() == QMetaType::QVariant) {
      storage[i] = args[i];
      generic[i] = QGenericArgument("QVariant", &storage[i]);
      continue;
    }
    QVariant v = args[i];
    if (v.metaType() != type && !v.convert(type)) {
      warnOnce(member,
               QStringLiteral("cannot take argument %1 as %2").arg(i + 1).arg(QLatin1String(type.name())));
      return false;
    }
    storage[i] = std::move(v);
    generic[i] = QGenericArgument(type.name(), storage[i].constData());
  }

  const QMetaType rtype = m.returnMetaType();
  QVariant ret;
  QGenericReturnArgument retArg;
  if (rtype.id() == QMetaType::QVariant) {
    retArg = QGenericReturnArgument("QVariant", &ret);
  } else if (rtype.isValid() && rtype.id() != QMetaType::Void) {
    ret = QVariant(rtype);
    retArg = QGenericReturnArgument(rtype.name(), ret.data());
  }
  const bool ok =
      m.invoke(object_.get(), Qt::DirectConnection, retArg, generic[0], generic[1], generic[2], generic[3],
               generic[4], generic[5], generic[6], generic[7], generic[8], generic[9]);
  if (!ok) {
    warnOnce(member, QStringLiteral("could not be called"));
    return false;
  }
  if (result) *result = ret;
  return true;
}

QVariant PluginObject::value(const char *member, const QVariantList &args) {
  QVariant r;
  call(member, args, &r);
  return r;
}

}  // namespace cantorel
