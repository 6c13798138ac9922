// The batch runner's sound player, from the sound module (batch/ui/sound),
// which is loaded on first use: Qt Multimedia stays out of start-up.
#pragma once

class QObject;
class QString;

// A new sound player (a QSoundEffect) owned by parent, driven through its
// "source" property and its play() and stop() slots; null when the sound
// module cannot be loaded (said once on standard error).
QObject *MakeSoundPlayer(QObject *parent);

// Where the module is looked for: $QEL_SOUND_MODULE when set, else beside
// the program (a build tree), else in the library folder of the prefix the
// program is installed in.
QString SoundModulePath();
