// The batch runner's sound player, built as a module of its own: Qt
// Multimedia and the sound system's libraries behind it (some twenty) are
// loaded when the first sound plays, not when the program starts.
#include <QSoundEffect>

// A new player owned by parent; driven through its properties and slots
// ("source", play(), stop()), so that the caller needs no Multimedia header.
extern "C" Q_DECL_EXPORT QObject *QelMakeSoundPlayer(QObject *parent)
{
    return new QSoundEffect(parent);
}
