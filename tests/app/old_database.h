#pragma once

#include <QString>

namespace lentaro::test {

// A database as an older version left it: none of the later fields, WAV and Notation of
// Tracks and LoopPoints still long binary, and a few rows.
inline const QString version6 = QStringLiteral(R"(
CREATE TABLE CDs (CDid INTEGER PRIMARY KEY AUTOINCREMENT, Title TEXT, Artist TEXT, cdlen INTEGER,
  numTracks INTEGER, track1Len INTEGER);
CREATE TABLE Tracks (CDid INTEGER, TrackNum INTEGER, TrackName TEXT, Comments TEXT, Rating TEXT,
  WAV BLOB, Notation BLOB);
CREATE TABLE LoopPoints (CDid INTEGER, TrackNum INTEGER, startTime INTEGER, Comment TEXT,
  chords TEXT, lyrics TEXT, WAV BLOB, Notation BLOB);
CREATE TABLE "Wave Files" (waveFileID INTEGER PRIMARY KEY AUTOINCREMENT, waveFilePath TEXT,
  waveFileName TEXT, waveDataLength INTEGER, waveFileModDate DATETIME);
CREATE TABLE WaveLoopPoints (waveFileID INTEGER, startTime INTEGER, Comment TEXT, chords TEXT,
  lyrics TEXT);
INSERT INTO CDs VALUES (1, 'No CD', '', 0, 0, 0);
INSERT INTO CDs VALUES (2, 'Blue Train', 'Coltrane', 2535000, 5, 643000);
INSERT INTO Tracks VALUES (2, 1, 'Blue Train', 'long solo', '5', NULL, X'2F6E6F7465732FC3A92E706466');
INSERT INTO Tracks VALUES (2, 2, 'Moment''s Notice', '', '4', X'', NULL);
INSERT INTO LoopPoints VALUES (2, 1, 61000, 'head', 'Eb7', 'none', X'52494646FF00C9', NULL);
INSERT INTO "Wave Files" VALUES (1, '/music', 'take1.wav', 90000, '2001-05-04T10:00:00');
INSERT INTO WaveLoopPoints VALUES (1, 1500, 'riff', 'E', '');
)");

} // namespace lentaro::test
