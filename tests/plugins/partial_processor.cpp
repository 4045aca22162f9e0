// An input plug-in that offers only some members: the host must skip the
// missing ones and keep going.
#include <QObject>

#include "cantorel_plugin.h"

class PartialProcessor : public QObject {
  Q_OBJECT
  Q_CLASSINFO(CANTOREL_CLASS_INFO, "qv_input_partial.Processor")
  Q_PLUGIN_METADATA(IID CANTOREL_INPUT_PLUGIN_IID)

 public:
  Q_INVOKABLE explicit PartialProcessor(QObject *parent = nullptr) : QObject(parent) {}
  Q_INVOKABLE QString getExtensions() { return QStringLiteral("Partial|*.part"); }
  // Declared with a type no number converts to.
  Q_INVOKABLE void SetVolume(int, const QObject *) {}
};

#include "partial_processor.moc"
