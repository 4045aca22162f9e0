#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <mutex>

#include <gst/gst.h>

#include "cantorel_plugin.h"

// The player object of qv_input_gst: one playbin (whose soft volume is the
// volume) with our own bin as its audio sink (tempo, balance, output).
// Volume is kept per output device for the whole process, so a fresh object
// for the next file plays at the volume the user set.
class GstProcessor : public QObject {
  Q_OBJECT
  Q_CLASSINFO(CANTOREL_CLASS_INFO, "qv_input_gst.Processor")
  Q_PLUGIN_METADATA(IID CANTOREL_INPUT_PLUGIN_IID)

 public:
  Q_INVOKABLE explicit GstProcessor(QObject *parent = nullptr);
  ~GstProcessor() override;

  Q_INVOKABLE QString GetAuthor() const;
  Q_INVOKABLE QString getExtensions() const;
  Q_INVOKABLE QString GetVersion() const;
  Q_INVOKABLE QString GetDescription() const;

  Q_INVOKABLE int Init(const QString &path);
  Q_INVOKABLE void RenderFile(const QString &path);
  Q_INVOKABLE double CurrentPosition();
  Q_INVOKABLE void CurrentPosition(double seconds);
  Q_INVOKABLE void Rate(double factor);
  Q_INVOKABLE double Duration();
  Q_INVOKABLE void Run();
  Q_INVOKABLE void Pause();
  Q_INVOKABLE double GetCurrentPosition();
  Q_INVOKABLE qint32 GetVolume(int device);
  Q_INVOKABLE void SetVolume(int device, qint64 packed);
  Q_INVOKABLE void CleanUP();
  Q_INVOKABLE void finish();

  // Optional members of the contract: why the file cannot be played (empty
  // while it plays), and the stream facts the decoder reports.
  Q_INVOKABLE QString LastError();
  Q_INVOKABLE QVariantMap StreamInfo();

  // Beyond the contract, for tests: the peak level (dB of full scale) of each
  // output channel over the latest buffer. Measuring starts with the first
  // call, so playback pays nothing for it until someone asks.
  Q_INVOKABLE QVariantList OutputLevels();

 private:
  // Builds the pipeline for `path` and waits (bounded) until it is paused at
  // the start. False when it failed; `error_` then says why.
  bool open(const QString &path);
  void drainBus();
  // The pipeline clock's time now, or GST_CLOCK_TIME_NONE without a clock.
  GstClockTime clockNow() const;
  void applyVolume();
  bool waitForState(GstClockTime timeout);
  bool seekTo(gint64 position);

  GstElement *pipeline_ = nullptr;
  GstElement *panorama_ = nullptr;
  GstElement *sink_ = nullptr;  // the output, inside the pipeline
  GstBus *bus_ = nullptr;       // the pipeline's, held while it lives
  // OutputLevels() was asked: from then on each buffer reaching the output
  // is measured (on the streaming thread, hence the lock).
  bool levelsWanted_ = false;
  void watchLevels();
  static GstPadProbeReturn measureLevels(GstPad *pad, GstPadProbeInfo *info, gpointer self);
  std::mutex levelsLock_;
  // The position between queries: where the file was (ns) at which clock time.
  bool running_ = false;   // Run() was the last change of state
  bool anchored_ = false;  // anchorPosition_/anchorClock_ hold
  gint64 anchorPosition_ = 0;
  GstClockTime anchorClock_ = 0;
  QString openedPath_;  // the file the pipeline was opened for by Init
  bool stream_ = false;
  bool ended_ = false;  // end of stream reached
  double rate_ = 1.0;
  double lastPosition_ = 0;
  QString error_;
  QVariantList levels_;
};
