#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <array>
#include <memory>

namespace cantorel {

// One plug-in object, called by member name. The object is a QObject whose
// members are Q_INVOKABLE methods or properties (see plugins/sdk). Arguments
// are converted to the types the member declares; a member that is missing,
// or whose arguments cannot be converted, is skipped with one warning per
// member and the call reports failure. Nothing a plug-in declares can make a
// call crash the host.
class PluginObject {
 public:
  // Takes the object; `className` is the "Name.Processor" it was made as.
  PluginObject(QString className, std::unique_ptr<QObject> object);
  ~PluginObject();
  PluginObject(const PluginObject &) = delete;
  PluginObject &operator=(const PluginObject &) = delete;

  const QString &className() const { return className_; }
  QObject *object() const { return object_.get(); }

  // Calls `member` with `args`. True when the member ran; its result (if it
  // has one) goes to `result`.
  bool call(const char *member, const QVariantList &args = {}, QVariant *result = nullptr);
  // The result of `member`, or an invalid QVariant when it did not run.
  QVariant value(const char *member, const QVariantList &args = {});
  // Whether the object has `member` taking `argc` arguments.
  bool has(const char *member, int argc) const;

 private:
  int findMethod(const char *member, int argc) const;
  int scanMethods(const char *member, int argc) const;
  void warnOnce(const char *member, const QString &why);

  QString className_;
  std::unique_ptr<QObject> object_;
  QSet<QByteArray> warned_;
  // Method index by argument count and name (-1: none); filled as asked.
  mutable std::array<QHash<QByteArray, int>, 11> methods_;
};

}  // namespace cantorel
