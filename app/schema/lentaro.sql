-- The database the program ships with: its five tables and the row that stands for "no CD".
--
-- Times are milliseconds. Long and Integer fields are INTEGER, text and memo fields TEXT.
-- Truth values are stored as -1 (True) and 0 (False). A table whose rows have no key of their
-- own gets a hidden `rowKey` so that a grid can change one row without touching its twins.
-- The program never creates a table; later fields are added by its schema upgrade.

CREATE TABLE CDs (
  CDid INTEGER PRIMARY KEY AUTOINCREMENT, -- never reused, so old track and loop rows cannot join a new CD
  Title TEXT,
  Artist TEXT,
  cdlen INTEGER,
  numTracks INTEGER,
  track1Len INTEGER,
  lastTrackIDSelected INTEGER DEFAULT 0,
  lastLoopSelected INTEGER DEFAULT 0
);
-- A CD is known by its total length and the length of its first track.
CREATE INDEX CDsIdentity ON CDs (cdlen, track1Len);

CREATE TABLE Tracks (
  rowKey INTEGER PRIMARY KEY,
  CDid INTEGER,
  TrackNum INTEGER,
  TrackName TEXT,
  Comments TEXT,
  Rating TEXT,
  lastPitchChange INTEGER DEFAULT 0,
  WAV TEXT,
  Notation TEXT
);
CREATE INDEX TracksOfCD ON Tracks (CDid, TrackNum);

CREATE TABLE LoopPoints (
  rowKey INTEGER PRIMARY KEY,
  CDid INTEGER,
  TrackNum INTEGER,
  startTime INTEGER,
  endTime INTEGER,
  Comment TEXT,
  chords TEXT,
  lyrics TEXT,
  WAV TEXT,
  Notation TEXT,
  lastPct INTEGER DEFAULT 50,
  lastSelStart INTEGER DEFAULT 0,
  lastSelEnd INTEGER DEFAULT 0,
  lastGridStart INTEGER DEFAULT 0,
  lastGridWidth INTEGER DEFAULT 0,
  gridVisible INTEGER DEFAULT 0
);
CREATE INDEX LoopPointsOfCD ON LoopPoints (CDid, startTime);

CREATE TABLE "Wave Files" (
  waveFileID INTEGER PRIMARY KEY AUTOINCREMENT,
  waveFilePath TEXT,
  waveFileName TEXT,
  waveDataLength INTEGER,
  waveFileModDate DATETIME,
  lastPitchChange INTEGER DEFAULT 0
);
CREATE INDEX WaveFilesByName ON "Wave Files" (waveFileName, waveFilePath);

CREATE TABLE WaveLoopPoints (
  rowKey INTEGER PRIMARY KEY,
  waveFileID INTEGER,
  startTime INTEGER,
  endTime INTEGER,
  Comment TEXT,
  chords TEXT,
  lyrics TEXT,
  lastPct INTEGER DEFAULT 50,
  lastSelStart INTEGER DEFAULT 0,
  lastSelEnd INTEGER DEFAULT 0,
  lastGridStart INTEGER DEFAULT 0,
  lastGridWidth INTEGER DEFAULT 0,
  gridVisible INTEGER DEFAULT 0
);
CREATE INDEX WaveLoopPointsOfFile ON WaveLoopPoints (waveFileID, startTime);

INSERT INTO CDs (CDid, Title, Artist, cdlen, numTracks, track1Len)
  VALUES (1, 'No CD', '', 0, 0, 0);
