#pragma once

#include <QByteArray>
#include <QString>

// Sound files the playback tests write for themselves.
namespace TestSounds {

// A sine tone at half of full scale in one of libsndfile's WAV encodings
// (SF_FORMAT_PCM_16, SF_FORMAT_FLOAT, SF_FORMAT_IMA_ADPCM, ...). Returns false
// when libsndfile refuses the combination.
bool writeToneWav(const QString& path, int sampleRate, int channels, double seconds, int subformat,
                  double frequency = 440.0);

// A type-0 MIDI file at 120 beats a minute, 480 ticks a beat: one piano C4
// held `noteTicks`, then `restTicks` of nothing before the end of the track.
QByteArray midiNote(int noteTicks, int restTicks = 0);

bool writeFile(const QString& path, const QByteArray& bytes);

// The 44-byte header of a 16-bit PCM WAV file whose data chunk claims
// `dataBytes`; for files no encoder would write (huge, or at odd rates).
QByteArray wavHeader(int sampleRate, int channels, quint32 dataBytes);

} // namespace TestSounds
