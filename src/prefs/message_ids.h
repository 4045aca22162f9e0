#pragma once

// Numbers of the interface texts in the language files ("messages_*.txt",
// line n = text n). Read a text with General::message(msg::Name). Numbers not
// listed here are free; their lines are empty in the shipped files.
//
// Several texts are joined with other text when shown; their ends carry the
// blanks that joining needs (noted "followed by" / "then" below). Some captions
// are also compared by the windows that show them to tell a button's role, so
// the texts of one button must differ from each other.

namespace cantorel::msg {

// Timed-lyric reader: status texts (also shown as the only lyric line).
constexpr int LyricBadHeader = 1;    // first line is neither "(QVL)" nor "(QVD)"
constexpr int LyricEmptyTime = 2;    // a time line is empty
constexpr int LyricMissingTime = 3;  // the file ends after a lyric line without its time
constexpr int LyricEmptyText = 4;    // a lyric line is empty (also a trailing empty line)
constexpr int LyricNotFound = 6;     // no lyric found / file not readable; compared by the assistant

// Lyric assistant, text step (first window).
constexpr int AssistantEmptyLine = 5;         // message box: Add with an empty line field
constexpr int AssistantTextCaption = 7;       // window title of the text step
constexpr int AssistantTextHelpFirst = 8;     // explanatory label 1 of 7 (labels are 8..14 in order)
constexpr int AssistantTextHelp2 = 9;         // explanatory label 2: typing and inserting lines
constexpr int AssistantTextHelp3 = 10;        // explanatory label 3: loading or importing a file
constexpr int AssistantTextHelp4 = 11;        // explanatory label 4: the placeholder time
constexpr int AssistantNothingToDelete = 12;  // label 5, and message box: Delete with no line selected
constexpr int AssistantNothingToModify = 13;  // label 6, and message box: Modify with no line selected
constexpr int AssistantTextHelpLast = 14;     // explanatory label 7: going on to the timing step
constexpr int AssistantClose = 15;            // button: close without saving
constexpr int AssistantAdd = 16;              // button: add a line (add mode of the add/apply button)
constexpr int AssistantDelete = 17;           // button: delete the selected line
constexpr int AssistantModify = 18;           // button: modify the selected line
constexpr int AssistantSaveAndTime = 19;      // button: save and go to the timing step
constexpr int AssistantLoadText = 36;         // button: load a plain text file
constexpr int AssistantImport = 68;           // button: import an existing timed-lyric file

// Lyric assistant, timing step (second window).
constexpr int AssistantTimingCaption = 20;    // window title of the timing step
constexpr int AssistantTimingHelpFirst = 21;  // explanatory label 1 of 7 (labels are 21..27 in order)
constexpr int AssistantTimingHelp2 = 22;      // explanatory label 2: starting playback
constexpr int AssistantTimingHelp3 = 23;      // explanatory label 3: the line to mark next
constexpr int AssistantTimingHelp4 = 24;      // explanatory label 4: marking
constexpr int AssistantTimingHelp5 = 25;      // explanatory label 5: correcting a recorded line
constexpr int AssistantTimingHelp6 = 26;      // explanatory label 6: applying or cancelling a correction
constexpr int AssistantTimingHelpLast = 27;   // explanatory label 7: finishing
constexpr int AssistantPlay = 28;             // play button, before playback started
constexpr int AssistantCancelEdit = 29;       // button: cancel the edit of a recorded line
constexpr int AssistantMark = 30;             // mark button: record the current line's time
constexpr int AssistantEdit = 31;    // button: edit the selected line; also the mark button after an edit
constexpr int AssistantFinish = 32;  // button: write the lyric file and submit it
constexpr int AssistantPause = 33;   // play button while playing
constexpr int AssistantResume = 34;  // play button while paused
constexpr int AssistantApply = 35;   // apply mode of the add button (text step) and of the mark button
constexpr int AssistantNothingToEdit = 65;  // message box: Edit with no recorded line selected
constexpr int AssistantBadTime = 66;        // message box: an edited time is not m:ss

// Start-up and playback.
constexpr int SkinMissingBefore = 37;  // start-up: saved skin file missing; followed by the skin path
constexpr int SkinMissingAfter = 38;   // follows the skin path of SkinMissingBefore
constexpr int PlayerRefusedFile = 39;  // message box: the input plug-in refused the file ("Init" gave -1)

// Skin loader.
constexpr int SkinNotFound = 44;               // control file not found (first line of the message)
constexpr int SkinNotFoundName = 45;           // followed by the name asked for (second line)
constexpr int SkinNotFoundFolder = 46;         // followed by the "SkinPath" setting (third line)
constexpr int SkinBadMark = 47;                // the file does not start with "Cantorel Skin"
constexpr int SkinMainBitmapMissing = 48;      // followed by the path of the missing background bitmap
constexpr int SkinResourceBitmapMissing = 49;  // followed by the path of the missing resource bitmap
constexpr int SkinInvalidElements = 50;        // elements rejected by the index checks (first line)
constexpr int SkinInvalidElementList = 51;     // second line; then a line with the rejected tokens

// File information window: tag writing.
constexpr int TagWritten = 52;      // followed by the outcome word ("Updated!" or "Added!")
constexpr int TagWriteFailed = 53;  // message box: the tag could not be written

// File associations question (OK / Cancel).
constexpr int AssocQuestionFirst = 56;  // first line; the next line lists the extensions
constexpr int AssocQuestionLast = 57;   // last line: what OK and Cancel do
constexpr int AssocTitle = 58;          // title of the question box

// Plug-ins.
constexpr int PluginRegistering = 69;  // message box before a plug-in is registered
constexpr int NoVisPlugin = 70;        // message box: full-screen mode with no visualization plug-in

// Preferences window: tab captions (tab t has the text PrefsTabFirst + t).
constexpr int PrefsTabFirst = 71;
constexpr int PrefsTabSkin = 71;       // tab 0: skin
constexpr int PrefsTabDocuments = 72;  // tab 1: document viewer
constexpr int PrefsTabGeneral = 73;    // tab 2: start-up, playlist and window options
constexpr int PrefsTabTimer = 74;      // tab 3: snooze and on/off schedule
constexpr int PrefsTabPaths = 75;      // tab 4: folders
constexpr int PrefsTabOther = 76;      // tab 5: language, transparency, intro time, lyric upload
constexpr int PrefsTabPlugins = 77;    // tab 6: plug-ins
constexpr int PrefsTabLast = 77;

// Preferences window: control captions.
constexpr int PrefsFrameSkin = 78;          // frame around the skin choice
constexpr int PrefsSelectSkin = 79;         // button: choose a skin
constexpr int PrefsViewDocumentation = 80;  // document viewer option: program documentation
constexpr int PrefsViewReadme = 81;         // document viewer option: readme
constexpr int PrefsViewSkins = 82;          // document viewer option: skin authoring notes
constexpr int PrefsViewCredits = 83;        // document viewer option: credits
constexpr int PrefsFrameExtensions = 84;    // frame: extensions taken when adding a folder
constexpr int PrefsFrameStartup = 85;       // frame: start-up options
constexpr int PrefsStartBlank = 86;         // start option: empty playlist
constexpr int PrefsStartLast = 87;          // start option: restore the last playlist
constexpr int PrefsStartFile = 88;          // start option: open a file or folder
constexpr int PrefsSelectStartFile = 89;    // small button: pick the start file
constexpr int PrefsSelectStartDir = 90;     // small button: pick the start folder
constexpr int PrefsStartMinimized = 91;     // check box: start with the window hidden
constexpr int PrefsFrameShutdown = 92;      // frame: shut-down options
constexpr int PrefsSaveWindowPos = 93;      // check box: save the window position
constexpr int PrefsFrameContinuous = 94;    // frame: continuous playback
constexpr int PrefsOverlap = 95;            // label of the overlap field
constexpr int PrefsFrameWindow = 96;        // frame: window options
constexpr int PrefsOnTop = 97;              // check box: always on top
constexpr int PrefsSnap = 98;               // check box: snap to the screen edges
constexpr int PrefsFrameMisc = 99;          // frame: miscellaneous options
constexpr int PrefsTimeFormat = 100;        // check box: 24-hour clock
constexpr int PrefsClearPlaylist = 101;     // check box: clear the playlist before loading one
constexpr int PrefsAutoPlay = 102;          // check box: play after loading a playlist
constexpr int PrefsScrollName = 103;        // check box: scroll the title
constexpr int PrefsTagCover = 104;          // check box: find covers from the tag
constexpr int PrefsFriendlyNames = 105;     // check box: friendly display names
constexpr int PrefsAutoRegistry = 106;      // check box: check file associations at start
constexpr int PrefsAskForIt = 107;          // check box: ask before changing associations
constexpr int PrefsShowAlbum = 108;         // check box: album in the display title
constexpr int PrefsShowArtist = 109;        // check box: artist in the display title
constexpr int PrefsFrameOptions = 110;      // frame: timer options
constexpr int PrefsAutoEnable = 111;        // check box: enable the snooze and schedule
constexpr int PrefsHideOnSnooze = 112;      // check box: hide the window when snooze or off time fires
constexpr int PrefsFrameSnooze = 113;       // frame: snooze
constexpr int PrefsSnoozeAfter = 114;       // snooze option: after a number of minutes
constexpr int PrefsSnoozeMinutes = 115;     // label after the minutes box
constexpr int PrefsSnoozeAt = 116;          // snooze option: at a time of day
constexpr int PrefsSnoozeEnable = 117;      // check box: enable the snooze
constexpr int PrefsFrameSchedule = 118;     // frame: weekly on/off schedule
constexpr int PrefsScheduleDay = 119;       // label of the day box
constexpr int PrefsScheduleAdd = 120;       // button: add a schedule entry
constexpr int PrefsScheduleOn = 121;        // label of the on time
constexpr int PrefsScheduleOff = 122;       // label of the off time
constexpr int PrefsSchedulePreset = 123;    // label of the file/playlist number
constexpr int PrefsScheduleDelete = 124;    // button: delete the selected entry
constexpr int PrefsScheduleList = 125;      // label of the schedule list
constexpr int PrefsFramePaths = 126;        // frame: folders
constexpr int PrefsSkinDir = 127;           // label of the skin folder
constexpr int PrefsVisPlDir = 128;          // label of the visual playlist browser folder
constexpr int PrefsLyricDir = 129;          // label of the lyric folder
constexpr int PrefsLanguage = 130;          // label of the language box
constexpr int PrefsSubmitLyric = 131;       // check box: upload lyrics made with the assistant
constexpr int PrefsAnonymous = 132;         // option: upload anonymously
constexpr int PrefsUseId = 133;             // option: upload with the user's name
constexpr int PrefsNick = 134;              // label of the user name
constexpr int PrefsPassword = 135;          // label of the password
constexpr int PrefsIntroTime = 136;         // label of the intro-scan length
constexpr int PrefsTransparency = 137;      // label of the transparency box
constexpr int PrefsVisPlugins = 138;        // label of the visualization plug-in list
constexpr int PrefsInputPlugins = 139;      // label of the input plug-in list
constexpr int PrefsSelectVisPlugin = 140;   // button: apply the chosen visualization plug-in
constexpr int PrefsOk = 141;                // button: close the window

// Cover window.
constexpr int CoverCaption = 142;  // window title

// File information window.
constexpr int InfoCaption = 143;  // window title
constexpr int InfoFile = 144;     // label: file path
constexpr int InfoTitle = 145;    // label: title
constexpr int InfoArtist = 146;   // label: artist
constexpr int InfoAlbum = 147;    // label: album
constexpr int InfoTrack = 148;    // label: track number
constexpr int InfoYear = 149;     // label: year
constexpr int InfoGenre = 150;    // label: genre
constexpr int InfoComment = 151;  // label: comment
constexpr int InfoOk = 152;       // button: close
constexpr int InfoEdit = 153;     // check box: edit (stop following the playing file)
constexpr int InfoCurrent = 154;  // button: reload the tag of the current song
constexpr int InfoSave = 155;     // button: write the tag
constexpr int InfoHint = 156;     // explanatory label for Edit and Current

// Visual playlist browser.
constexpr int BrowserTitle = 157;           // heading label of the window
constexpr int BrowserContentsHeader = 158;  // heading of the selected playlist's contents
constexpr int BrowserPageCounter = 159;     // page counter before any page is shown
constexpr int BrowserCancel = 160;          // button: close without loading
constexpr int BrowserPrev = 161;            // button: previous page
constexpr int BrowserNext = 162;            // button: next page
constexpr int BrowserSelectDir = 163;       // button: choose another folder
constexpr int BrowserRememberDir = 164;     // check box: start in this folder next time
constexpr int BrowserSwapColours = 165;     // button: swap the black and white colour schemes
constexpr int BrowserPrint = 166;           // button: print the window
constexpr int BrowserLoad = 167;            // button: load the selected playlist
constexpr int BrowserFolderRead = 168;      // status after a folder was read (shown after "<- ")
constexpr int BrowserFilling = 169;         // status while a page of covers is filled
constexpr int BrowserPageBefore = 170;      // page counter: then the page number
constexpr int BrowserPageMiddle = 171;      // page counter: between page number and page count
constexpr int BrowserPageAfter = 172;       // page counter: after the page count
constexpr int BrowserReady = 173;           // status when a page is shown

// Tray menu items, in menu order (item i has the text TrayFirst + i - 1).
constexpr int TrayFirst = 174;
constexpr int TrayPrefs = 174;          // open the preferences
constexpr int TrayPlay = 175;           // play
constexpr int TrayStop = 176;           // stop
constexpr int TrayPause = 177;          // pause
constexpr int TrayNext = 178;           // next track
constexpr int TrayPrevious = 179;       // previous track
constexpr int TrayAddFile = 180;        // add a file to the playlist
constexpr int TraySelectSkin = 181;     // choose a skin
constexpr int TrayBrowser = 182;        // open the visual playlist browser
constexpr int TrayLoadPlaylist = 183;   // load a playlist file
constexpr int TrayClearPlaylist = 184;  // clear the playlist
constexpr int TrayExit = 185;           // quit the program
constexpr int TrayLast = 185;

// News message window.
constexpr int NewsHeading = 186;  // heading above the news message

// A lyric file with more entries than the player holds.
constexpr int LyricTooManyEntries = 187;

}  // namespace cantorel::msg
