#include "gst_processor.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include <gst/audio/audio.h>
#include <gst/base/gstbasetransform.h>

namespace {

constexpr double kMinRate = 0.5;
constexpr double kMaxRate = 1.5;
// Opening and seeking wait at most this long; a file that takes longer is
// left to finish in the background rather than freezing the player.
constexpr GstClockTime kFileWait = 5 * GST_SECOND;
constexpr GstClockTime kStreamWait = 3 * GST_SECOND;
constexpr GstClockTime kSeekWait = 2 * GST_SECOND;
// How long the position runs on the clock before the pipeline is asked again.
constexpr GstClockTime kAnchorSpan = GST_SECOND;
// Decoders hand on their output in pieces of at least this much sound. An
// MP3 frame is 26 ms: one buffer each would wake the decoding thread and the
// output thread nearly 40 times a second apiece, and on a desktop those
// wake-ups cost more than the decoding itself. A tenth of a second keeps
// volume, balance and tempo changes prompt.
constexpr gint64 kDecoderChunk = 100 * GST_MSECOND;
// MIDI through fluidsynth is quiet at its default gain.
constexpr double kMidiGain = 0.6;
constexpr int kDevices = 4;
// playbin's flags: audio and soft volume only.
constexpr int kAudioFlags = 0x2 | 0x10;

// Output volume per device, shared by every object of the process.
std::array<cantorel::sdk::ChannelVolume, kDevices> &deviceVolumes() {
  static std::array<cantorel::sdk::ChannelVolume, kDevices> v = [] {
    std::array<cantorel::sdk::ChannelVolume, kDevices> a{};
    a.fill({65535, 65535});
    return a;
  }();
  return v;
}

bool nullAudio() {
  return qEnvironmentVariableIntValue("CANTOREL_NULL_AUDIO") == 1;
}

bool isStream(const QString &path) {
  return path.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
         path.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

void onElementSetup(GstElement *, GstElement *element, gpointer) {
  if (GST_IS_AUDIO_DECODER(element)) g_object_set(element, "min-latency", kDecoderChunk, nullptr);
  GstElementFactory *f = gst_element_get_factory(element);
  if (f && g_strcmp0(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(f)), "fluiddec") == 0)
    g_object_set(element, "synth-gain", kMidiGain, nullptr);
}

GstElement *make(const char *factory) {
  return gst_element_factory_make(factory, nullptr);
}

}  // namespace

GstProcessor::GstProcessor(QObject *parent) : QObject(parent) {
  if (!gst_is_initialized()) {
    GError *err = nullptr;
    if (!gst_init_check(nullptr, nullptr, &err)) {
      error_ = QString::fromUtf8(err ? err->message : "GStreamer could not start");
      if (err) g_error_free(err);
    }
  }
}

GstProcessor::~GstProcessor() {
  finish();
}

QString GstProcessor::GetAuthor() const {
  return QStringLiteral("The Cantorel developers");
}

QString GstProcessor::getExtensions() const {
  return QStringLiteral(
      "Audio files (GStreamer)|*.mp3;*.mp2;*.mpa;*.wav;*.ogg;*.oga;*.flac;*.mid;*.midi;*.rmi;*.opus;*.m4a");
}

QString GstProcessor::GetVersion() const {
  return QStringLiteral("1.0");
}

QString GstProcessor::GetDescription() const {
  return QStringLiteral("Plays MP3, MP2, WAV, Ogg, FLAC, MIDI and internet radio through GStreamer.");
}

int GstProcessor::Init(const QString &path) {
  finish();
  error_.clear();
  if (!gst_is_initialized()) {
    error_ = QStringLiteral("GStreamer could not start");
    return -1;
  }
  if (path.isEmpty()) return -1;
  if (isStream(path)) return 0;
  const QFileInfo fi(path);
  if (!fi.isFile() || !fi.isReadable()) {
    error_ = QStringLiteral("The file cannot be read");
    return -1;
  }
  // The file is opened here already, so one that holds no audio we can
  // decode is refused before the player counts it as playing. A file still
  // opening after the wait is accepted; an error later reaches the player
  // through LastError.
  if (!open(path)) {
    finish();
    return -1;
  }
  openedPath_ = path;
  return 0;
}

void GstProcessor::RenderFile(const QString &path) {
  // Init opened this file a moment ago: it is paused at the start.
  if (pipeline_ && !openedPath_.isEmpty() && openedPath_ == path && error_.isEmpty()) {
    openedPath_.clear();
  } else if (!open(path)) {
    return;
  }
  // A speed chosen before the file was open applies from the start.
  if (rate_ != 1.0 && !stream_) seekTo(0);
}

bool GstProcessor::open(const QString &path) {
  finish();
  error_.clear();
  levels_.clear();
  lastPosition_ = 0;
  ended_ = false;
  stream_ = isStream(path);
  if (!gst_is_initialized() || path.isEmpty()) {
    error_ = QStringLiteral("Nothing to open");
    return false;
  }
  const QString uri = stream_ ? path : QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString();

  // playbin's own output chain converts, resamples and sets the volume
  // (soft volume: a volume element that passes buffers through untouched
  // at full volume), as bare playbin does. Our bin adds only what it lacks:
  // the tempo (passes through at normal speed) and the balance (passes
  // through when centred), on two channels, then the output.
  pipeline_ = make("playbin");
  GstElement *bin = gst_bin_new("cantorel-output");
  GstElement *stereo = make("capsfilter");
  GstElement *tempo = make("scaletempo");
  panorama_ = make("audiopanorama");
  GstElement *convOut = make("audioconvert");
  GstElement *sink = nullAudio() ? make("fakesink") : make("autoaudiosink");
  if (!pipeline_ || !bin || !stereo || !tempo || !panorama_ || !convOut || !sink) {
    error_ = QStringLiteral("A GStreamer element is missing (install gstreamer1.0-plugins-base and -good)");
    for (GstElement *e : {bin, stereo, tempo, panorama_, convOut, sink})
      if (e) gst_object_unref(e);
    if (pipeline_) gst_object_unref(pipeline_);
    pipeline_ = panorama_ = sink_ = nullptr;
    return false;
  }
  // The balance element makes two channels of one; with two going in it can
  // pass buffers through while centred.
  GstCaps *two = gst_caps_new_simple("audio/x-raw", "channels", G_TYPE_INT, 2, nullptr);
  g_object_set(stereo, "caps", two, nullptr);
  gst_caps_unref(two);
  g_object_set(panorama_, "method", 1 /* simple: attenuate the other side */, nullptr);
  if (nullAudio()) g_object_set(sink, "sync", TRUE, nullptr);
  gst_bin_add_many(GST_BIN(bin), stereo, tempo, panorama_, convOut, sink, nullptr);
  const bool linked = gst_element_link_many(stereo, tempo, panorama_, convOut, sink, nullptr);
  GstPad *pad = gst_element_get_static_pad(stereo, "sink");
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", pad));
  gst_object_unref(pad);
  if (!linked) {
    error_ = QStringLiteral("The output chain could not be linked");
    gst_object_unref(bin);
    gst_object_unref(pipeline_);
    pipeline_ = panorama_ = nullptr;
    return false;
  }
  sink_ = sink;
  if (levelsWanted_) watchLevels();

  const QByteArray uriBytes = uri.toUtf8();
  // Audio only (no video, subtitle or visualisation elements for files that
  // carry them), with playbin's soft volume.
  g_object_set(pipeline_, "uri", uriBytes.constData(), "audio-sink", bin, "flags", kAudioFlags, nullptr);
  g_signal_connect(pipeline_, "element-setup", G_CALLBACK(onElementSetup), nullptr);
  applyVolume();

  if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
    drainBus();
    if (error_.isEmpty()) error_ = QStringLiteral("The file could not be opened");
    return false;
  }
  if (!waitForState(stream_ ? kStreamWait : kFileWait)) return false;
  drainBus();
  if (!error_.isEmpty()) return false;
  // Prerolled (not still opening): a file whose streams hold no audio plays
  // nothing, so it counts as a file we cannot play.
  GstState state = GST_STATE_NULL;
  gst_element_get_state(pipeline_, &state, nullptr, 0);
  if (!stream_ && state == GST_STATE_PAUSED) {
    gint audio = 0;
    g_object_get(pipeline_, "n-audio", &audio, nullptr);
    if (audio <= 0) {
      error_ = QStringLiteral("The file holds no audio that can be decoded");
      return false;
    }
  }
  return true;
}

bool GstProcessor::waitForState(GstClockTime timeout) {
  if (!pipeline_) return false;
  const GstStateChangeReturn r = gst_element_get_state(pipeline_, nullptr, nullptr, timeout);
  if (r == GST_STATE_CHANGE_FAILURE) {
    drainBus();
    if (error_.isEmpty()) error_ = QStringLiteral("The file could not be played");
    return false;
  }
  return true;
}

void GstProcessor::drainBus() {
  if (!pipeline_) return;
  if (!bus_) bus_ = gst_element_get_bus(pipeline_);
  while (GstMessage *msg = gst_bus_pop(bus_)) {
    switch (GST_MESSAGE_TYPE(msg)) {
      case GST_MESSAGE_ERROR: {
        GError *err = nullptr;
        gst_message_parse_error(msg, &err, nullptr);
        if (error_.isEmpty()) error_ = QString::fromUtf8(err ? err->message : "Playback error");
        if (err) g_error_free(err);
        break;
      }
      case GST_MESSAGE_EOS:
        ended_ = true;
        break;
      default:
        break;
    }
    gst_message_unref(msg);
  }
}

bool GstProcessor::seekTo(gint64 position) {
  if (!pipeline_) return false;
  anchored_ = false;
  const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
  if (!gst_element_seek(pipeline_, rate_, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                        std::max<gint64>(0, position), GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE))
    return false;
  ended_ = false;
  if (!stream_) waitForState(kSeekWait);
  return true;
}

double GstProcessor::CurrentPosition() {
  return GetCurrentPosition();
}

void GstProcessor::CurrentPosition(double seconds) {
  if (!pipeline_ || stream_ || !std::isfinite(seconds)) return;
  const double s = std::max(0.0, seconds);
  if (seekTo(static_cast<gint64>(s * GST_SECOND))) lastPosition_ = s;
}

void GstProcessor::Rate(double factor) {
  if (!std::isfinite(factor)) return;
  const double r = std::clamp(factor, kMinRate, kMaxRate);
  if (std::abs(r - rate_) < 1e-6) return;
  const double at = GetCurrentPosition();
  rate_ = r;
  anchored_ = false;
  if (pipeline_ && !stream_) seekTo(static_cast<gint64>(at * GST_SECOND));
}

double GstProcessor::Duration() {
  if (!pipeline_ || stream_) return 0;
  gint64 d = 0;
  if (!gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &d) || d < 0) return 0;
  return static_cast<double>(d) / GST_SECOND;
}

void GstProcessor::Run() {
  if (!pipeline_) return;
  anchored_ = false;
  running_ = true;
  if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    running_ = false;
    drainBus();
  }
}

void GstProcessor::Pause() {
  if (!pipeline_) return;
  lastPosition_ = GetCurrentPosition();
  running_ = anchored_ = false;
  gst_element_set_state(pipeline_, GST_STATE_PAUSED);
}

GstClockTime GstProcessor::clockNow() const {
  GstClock *clock = gst_element_get_clock(pipeline_);
  if (!clock) return GST_CLOCK_TIME_NONE;
  const GstClockTime now = gst_clock_get_time(clock);
  gst_object_unref(clock);
  return now;
}

double GstProcessor::GetCurrentPosition() {
  if (!pipeline_) return lastPosition_;
  drainBus();
  // At the end the position is the length, so the player sees the entry end
  // even when the last buffer stops a little short of it.
  if (ended_ && !stream_) {
    lastPosition_ = std::max(lastPosition_, Duration());
    return lastPosition_;
  }
  // While a file plays, the sink keeps its position on the pipeline's clock:
  // between two queries the position is the last one plus the clock's time
  // since, at the rate. The player asks forty times a second; a query walks
  // the whole pipeline, reading the clock does not.
  if (anchored_) {
    const GstClockTime now = clockNow();
    if (GST_CLOCK_TIME_IS_VALID(now) && now >= anchorClock_ && now - anchorClock_ < kAnchorSpan) {
      const double ran = static_cast<double>(now - anchorClock_) * rate_;
      lastPosition_ = (static_cast<double>(anchorPosition_) + ran) / GST_SECOND;
      return lastPosition_;
    }
  }
  gint64 p = 0;
  if (gst_element_query_position(pipeline_, GST_FORMAT_TIME, &p) && p >= 0) {
    lastPosition_ = static_cast<double>(p) / GST_SECOND;
    // Only a settled, playing file runs on with the clock (a stream may stop
    // to fill its buffer; a file still starting has not begun to count).
    GstState state = GST_STATE_VOID_PENDING, pending = GST_STATE_VOID_PENDING;
    anchored_ = running_ && !stream_ &&
                gst_element_get_state(pipeline_, &state, &pending, 0) == GST_STATE_CHANGE_SUCCESS &&
                state == GST_STATE_PLAYING;
    if (anchored_) {
      anchorPosition_ = p;
      anchorClock_ = clockNow();
      anchored_ = GST_CLOCK_TIME_IS_VALID(anchorClock_);
    }
  }
  return lastPosition_;
}

qint32 GstProcessor::GetVolume(int device) {
  if (device < 0 || device >= kDevices) return 0;
  return cantorel::sdk::packVolume(deviceVolumes()[static_cast<size_t>(device)]);
}

void GstProcessor::SetVolume(int device, qint64 packed) {
  if (device < 0 || device >= kDevices) return;
  deviceVolumes()[static_cast<size_t>(device)] = cantorel::sdk::unpackVolume(packed);
  if (device == 0) applyVolume();
}

void GstProcessor::applyVolume() {
  if (!pipeline_ || !panorama_) return;
  const cantorel::sdk::ChannelVolume v = deviceVolumes()[0];
  const double louder = std::max(v.left, v.right);
  // The louder side sets the volume; the quieter one is attenuated by the
  // panorama element ("simple" method: the far side scales by 1 - |pan|).
  double pan = 0;
  if (louder > 0) pan = (static_cast<double>(v.right) - v.left) / louder;
  const auto panorama = static_cast<gfloat>(std::clamp(pan, -1.0, 1.0));
  g_object_set(pipeline_, "volume", louder / 65535.0, nullptr);
  g_object_set(panorama_, "panorama", panorama, nullptr);
  // Centred, the element would only copy every buffer.
  auto *balance = GST_BASE_TRANSFORM(panorama_);
  const bool centred = panorama == 0.0f;
  if (gst_base_transform_is_passthrough(balance) != centred) {
    gst_base_transform_set_passthrough(balance, centred);
    gst_base_transform_reconfigure_src(balance);
  }
}

void GstProcessor::CleanUP() {
  if (!pipeline_) return;
  lastPosition_ = GetCurrentPosition();
  running_ = anchored_ = false;
  gst_element_set_state(pipeline_, GST_STATE_NULL);
}

void GstProcessor::finish() {
  running_ = anchored_ = false;
  openedPath_.clear();
  if (!pipeline_) return;
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  if (bus_) gst_object_unref(bus_);
  bus_ = nullptr;
  gst_object_unref(pipeline_);
  pipeline_ = panorama_ = sink_ = nullptr;
}

QString GstProcessor::LastError() {
  drainBus();
  return error_;
}

QVariantMap GstProcessor::StreamInfo() {
  QVariantMap info;
  if (!pipeline_) return info;
  GstPad *pad = nullptr;
  g_signal_emit_by_name(pipeline_, "get-audio-pad", 0, &pad);
  if (pad) {
    if (GstCaps *caps = gst_pad_get_current_caps(pad)) {
      const GstStructure *st = gst_caps_get_size(caps) > 0 ? gst_caps_get_structure(caps, 0) : nullptr;
      gint rate = 0, channels = 0;
      if (st && gst_structure_get_int(st, "rate", &rate) && rate > 0)
        info.insert(QStringLiteral("sampleRate"), rate);
      if (st && gst_structure_get_int(st, "channels", &channels) && channels > 0)
        info.insert(QStringLiteral("channels"), channels);
      gst_caps_unref(caps);
    }
    gst_object_unref(pad);
  }
  GstTagList *tags = nullptr;
  g_signal_emit_by_name(pipeline_, "get-audio-tags", 0, &tags);
  if (tags) {
    guint bitrate = 0;
    if ((gst_tag_list_get_uint(tags, GST_TAG_BITRATE, &bitrate) ||
         gst_tag_list_get_uint(tags, GST_TAG_NOMINAL_BITRATE, &bitrate)) &&
        bitrate > 0)
      info.insert(QStringLiteral("bitrate"), static_cast<int>((bitrate + 500) / 1000));
    gst_tag_list_unref(tags);
  }
  return info;
}

QVariantList GstProcessor::OutputLevels() {
  if (!levelsWanted_) {
    levelsWanted_ = true;
    watchLevels();
  }
  std::lock_guard<std::mutex> lock(levelsLock_);
  return levels_;
}

void GstProcessor::watchLevels() {
  if (!sink_) return;
  GstPad *pad = gst_element_get_static_pad(sink_, "sink");
  if (!pad) return;
  gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &GstProcessor::measureLevels, this, nullptr);
  gst_object_unref(pad);
}

GstPadProbeReturn GstProcessor::measureLevels(GstPad *pad, GstPadProbeInfo *info, gpointer self) {
  GstBuffer *buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  GstCaps *caps = gst_pad_get_current_caps(pad);
  GstAudioInfo format;
  const bool known = caps && gst_audio_info_from_caps(&format, caps);
  if (caps) gst_caps_unref(caps);
  const int channels = known ? GST_AUDIO_INFO_CHANNELS(&format) : 0;
  const GstAudioFormat f = known ? GST_AUDIO_INFO_FORMAT(&format) : GST_AUDIO_FORMAT_UNKNOWN;
  if (!buffer || channels <= 0 || (f != GST_AUDIO_FORMAT_S16 && f != GST_AUDIO_FORMAT_F32))
    return GST_PAD_PROBE_OK;
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return GST_PAD_PROBE_OK;
  // The peak of each channel over the buffer, in dB of full scale.
  std::vector<double> peak(static_cast<size_t>(channels), 0.0);
  if (f == GST_AUDIO_FORMAT_S16) {
    const auto *x = reinterpret_cast<const gint16 *>(map.data);
    const size_t n = map.size / sizeof(gint16);
    for (size_t i = 0; i < n; ++i)
      peak[i % channels] = std::max(peak[i % channels], std::abs(static_cast<double>(x[i])) / 32768.0);
  } else {
    const auto *x = reinterpret_cast<const float *>(map.data);
    const size_t n = map.size / sizeof(float);
    for (size_t i = 0; i < n; ++i)
      peak[i % channels] = std::max(peak[i % channels], std::abs(static_cast<double>(x[i])));
  }
  gst_buffer_unmap(buffer, &map);
  QVariantList out;
  for (double p : peak) out.append(p > 0 ? std::max(-200.0, 20.0 * std::log10(p)) : -200.0);
  auto *processor = static_cast<GstProcessor *>(self);
  std::lock_guard<std::mutex> lock(processor->levelsLock_);
  processor->levels_ = out;
  return GST_PAD_PROBE_OK;
}
