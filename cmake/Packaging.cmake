# The Debian package, built from the build folder with
#   cpack -G DEB          (or: cmake --build build --target package)
# It installs under /usr; the program finds its data and plug-ins from its own
# folder, so the prefix the tree was configured with does not matter.
#
# Dependencies come from two places: dpkg-shlibdeps reads every ELF file in
# the package (programs and plug-ins alike) for the shared libraries they
# link, and the list below adds what is only loaded at run time and no
# linker sees: the GStreamer elements the input plug-in builds its pipeline
# from and the decoders for the formats it offers, the sound font MIDI
# files play with, and the fonts the skins name.

set(CANTOREL_PACKAGE_MAINTAINER "The Cantorel developers <developers@cantorel.org>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cantorel)
set(CPACK_PACKAGE_VENDOR "The Cantorel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skinnable media player with timed lyrics")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Not a package of the SDK alone: everything goes into the one package.
set(CPACK_DEB_COMPONENT_INSTALL OFF)

set(CPACK_DEBIAN_PACKAGE_NAME cantorel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CANTOREL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The architecture is the one dpkg reports for this machine (CPack asks
# dpkg --print-architecture when this is left unset).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Cantorel plays music and shows each song's timed lyric line by line, in\n"
  "step with the music. A two-step assistant turns a plain lyric into a timed\n"
  "one while the song plays. The whole main window is drawn by a skin.\n"
  "\n"
  "It plays MP3, WAV, Ogg, FLAC, Opus and MIDI files through GStreamer and\n"
  "takes input and visualization plug-ins. The command-line tool\n"
  "cantorel-tool checks skins, lyric files, tags and playlists with the\n"
  "player's own code.")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})

# Loaded at run time only (see above). playbin, audioconvert, audioresample,
# volume and the Ogg, Vorbis and Opus decoders are in -base; scaletempo,
# audiopanorama, level, autoaudiosink, the PulseAudio sink, WAV, MP3 and
# FLAC in -good; midiparse and fluiddec in -bad.
set(CANTOREL_RUNTIME_DEPENDS
  gstreamer1.0-plugins-base
  gstreamer1.0-plugins-good
  gstreamer1.0-plugins-bad
  "timgm6mb-soundfont | sf2-soundfont-gm"
  fonts-liberation2)
string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS ${CANTOREL_RUNTIME_DEPENDS})
# AAC in .m4a files, native Wayland windows, opening web links.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-libav, qt6-wayland, xdg-utils")

# Debian's own files (the copyright notice, a changelog, compressed manual
# pages) are added to the staged tree just before it is packed, so a plain
# `cmake --install` stays as it is.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian/finish_package.cmake)
set(CPACK_CANTOREL_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_CANTOREL_DEBIAN_DIR ${CMAKE_CURRENT_LIST_DIR}/debian)

include(CPack)
