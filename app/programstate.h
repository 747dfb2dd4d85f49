#pragma once

#include "app/stateVariable.h"

namespace lentaro {

// The program-wide variables. Like every variable of the program they hold zero, False or Empty
// until something sets them, and a test puts them all back so with one assignment:
// programState() = {}.
struct ProgramState {
    // One for each preference, named gv + the preference's name, filled by readPref when its
    // owner starts and changed through writePref (preferences.h); the preference table
    // (preferencetable.h) lists them.
    bool gvShowTips = false;                        // "Show Tips at Startup"
    bool gvAutoSlow = false;                        // AutoSlow
    int gvRecordMode = 0;                           // RecordMode: 1 digital, 2 analog
    int gvRecordingDepth = 0;                       // RecordingDepth: 8 or 16 bits
    int gvRecordingSampleRate = 0;                  // RecordingSampleRate: 11025, 22050 or 44100 Hz
    bool gvAutomaticallySetRecordingMixer = false;  // AutomaticallySetRecordingMixer
    int gvSoundQuality = 0;                         // SoundQuality: 1 good, 2 better, 3 best
    bool gvPreviewEnd = false;                      // PreviewEnd
    bool gvDeleteTempFiles = false;                 // DeleteTempFiles
    bool gvShowTooltips = false;                    // ShowTooltips
    int gvDigCDNum = 0;                             // digCDNum
    bool gvRealtime = false;                        // Realtime
    int gvChannelToTransform = 0;                   // ChannelToTransform: 0 mix, 1 first, 2 second
    bool gvSwitchToDigitalAskedAndAnswered = false; // SwitchToDigitalAskedAndAnswered

    // Derived from the recording preferences by getRecordingSubPrefs (recordingsubprefs.h).
    int gvChannels = 0;       // channels of analog recordings: always 1
    int gvRecordingRate = 0;  // sample rate of recordings in Hz
    float gvSamplesPerMs = 0; // gvRecordingRate / 1000, for the waveform view
    // Slowed-file samples per temp.wav sample value, for the waveform view's markers; 0 until set.
    float gvExpansionFactor = 0;

    // The main window shows its "SlowPlay" view.
    bool gvSlowMode = false;

    // Digital reading of audio CDs works on this computer (settled by the CD side at start-up).
    bool gvDigitalRecordingOK = false;
    // The wave device records the sound input (an analog capture of a loop).
    bool gvRecordingInProgress = false;
    // The slowed-down file of the current loop matches the current settings.
    bool gvSlowedFileReady = false;
    // A key is being passed between the main window and the waveform view; neither passes a
    // key on meanwhile.
    bool gvKeyForwarding = false;
    // The CD track the main window shows as current; 0 for none.
    int gvCurrentTrack = 0;
    // The loop grid, and the tracks grid, follow the playing position.
    bool gvLoopHighlight = false;
    bool gvTrackHighlight = false;
    // Samples of temp.wav per point of the waveform chart.
    int gvGraphStep = 0;
    // The debug switch; nothing sets it.
    bool gvDebugging = false;

    // Start-up is under way: from Main's clean-up until the main window has been shown.
    bool gvStartingUp = false;

    // The exit is under way: exitProgram has begun, and every later call returns at once.
    bool gvExiting = false;

    // True while one of the MCI devices plays. Resetting the program state drops its transport
    // buttons too; the main window gives them again when it loads.
    stateVariable gvPlayState;

    // How the hint window was last closed: true for Continue, false for Cancel or any other
    // close.
    bool gvHintAnswer = false;

    // The user has been told this run that a settings file was damaged, or that settings could
    // not be saved (settingsproblems.h); each is told once a run.
    bool settingsDamageShown = false;
    bool settingsSaveFailureShown = false;
};

// The program's one program state.
ProgramState& programState();

} // namespace lentaro
