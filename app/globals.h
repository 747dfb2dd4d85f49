#pragma once

namespace lentaro {

// Program-wide variables. Each preference has one, named gv + the preference's name, filled by
// readPref when its owner starts and changed through writePref (preferences.h); like every
// variable of the program they hold zero or False until then.
extern bool gvShowTips;                        // "Show Tips at Startup"
extern bool gvAutoSlow;                        // AutoSlow
extern int gvRecordMode;                       // RecordMode: 1 digital, 2 analog
extern int gvRecordingDepth;                   // RecordingDepth: 8 or 16 bits
extern int gvRecordingSampleRate;              // RecordingSampleRate: 11025, 22050 or 44100 Hz
extern bool gvAutomaticallySetRecordingMixer;  // AutomaticallySetRecordingMixer
extern int gvSoundQuality;                     // SoundQuality: 1 good, 2 better, 3 best
extern bool gvPreviewEnd;                      // PreviewEnd
extern bool gvDeleteTempFiles;                 // DeleteTempFiles
extern bool gvShowTooltips;                    // ShowTooltips
extern int gvDigCDNum;                         // digCDNum
extern bool gvRealtime;                        // Realtime
extern int gvChannelToTransform;               // ChannelToTransform: 0 mix, 1 first, 2 second
extern bool gvSwitchToDigitalAskedAndAnswered; // SwitchToDigitalAskedAndAnswered

// Derived from the recording preferences by getRecordingSubPrefs (recordingsubprefs.h).
extern int gvChannels;        // channels of analog recordings: always 1
extern int gvRecordingRate;   // sample rate of recordings in Hz
extern float gvSamplesPerMs;  // gvRecordingRate / 1000, for the waveform view

// The main window shows its "SlowPlay" view.
extern bool gvSlowMode;

// The exit is under way: exitProgram has begun, and every later call returns at once.
extern bool gvExiting;

// The play state, gvPlayState(), is an object of its own: stateVariable.h.

} // namespace lentaro
